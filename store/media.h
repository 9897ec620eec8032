#pragma once

#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"

#include <vector>

// One catalogue entry while a command or a store operation works on it. A plain value:
// copies share nothing. The checking setters raise Exception with a German message and
// leave the member as it was.
class Media {
public:
    // The loan date starts at 1 January 2000; raises EConvertError where the date settings
    // do not read "01.01.2000".
    Media();

    int get_key() const;
    AnsiString get_titel() const;
    AnsiString get_autor() const;
    int get_ortfk() const;
    AnsiString get_standortname() const;
    std::vector<AnsiString> get_beschrieb() const;
    AnsiString get_jahr() const;
    int get_typfk() const;
    int get_kategoriefk() const;
    AnsiString get_typname() const;
    AnsiString get_katname() const;
    AnsiString get_auslei() const;
    TDateTime get_datum() const;
    std::vector<AnsiString> get_stichworte() const;
    AnsiString get_isbn() const;
    int get_tage() const;

    // At least 1.
    void set_key(int value);
    // At most 200 bytes.
    void set_titel(AnsiString value);
    // At most 100 bytes.
    void set_autor(AnsiString value);
    // At least 1.
    void set_ortfk(int value);
    void set_standortname(AnsiString value);
    void set_beschrieb(std::vector<AnsiString> value);
    // At most 30 bytes.
    void set_jahr(AnsiString value);
    // At least 1.
    void set_typfk(int value);
    // At least 1.
    void set_kategoriefk(int value);
    void set_typname(AnsiString value);
    void set_katname(AnsiString value);
    // At most 150 bytes.
    void set_auslei(AnsiString value);
    // Strictly after 1 January 1900, 00:00.
    void set_datum(TDateTime value);
    // An empty list leaves the keywords as they are.
    void set_stichworte(std::vector<AnsiString> value);
    void set_isbn(AnsiString value);
    // Any value, 0 and negative ones included.
    void set_tage(int value);

private:
    int key = 0;
    AnsiString titel;
    AnsiString autor;
    int ortfk = 0;
    AnsiString standortname;
    std::vector<AnsiString> beschrieb;
    AnsiString jahr;
    int typfk = 0;
    int kategoriefk = 0;
    AnsiString typname;
    AnsiString katname;
    AnsiString auslei;
    TDateTime datum;
    std::vector<AnsiString> stichworte;
    AnsiString isbn;
    int tage = 0;
};
