#pragma once

#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "store/media.h"

#include <vector>

// A field of a medium as the editor shows it.
enum class MediumField {
    titel,
    autor,
    isbn,
    standort,
    jahr,
    beschreibung,
    tage,
    typ,
    kategorie,
    ausgeliehen,
    datum,
    stichworte
};

// The failure of an operation that writes a medium as a whole. Its text is built as every
// operation's is; beside it, the part of the medium whose statement the server refused,
// where that is known, and whether the catalogue may have changed all the same (the
// connection was lost after the commit had been sent, or the medium is gone), so that what
// shows the catalogue should read it again.
class ESaveError : public Exception {
public:
    enum class Part { unknown, data, description, loan, keywords };
    ESaveError(const String& message, Part part, bool changed)
        : Exception(message), part(part), changed(changed)
    {
    }
    Part part;
    bool changed;
};

// The store's gateway: every statement the program runs itself goes through one of these
// operations. It holds no state; every instance works on the one data module dat_medium
// and its one connection.
//
// On failure an operation releases what it used and raises a new Exception whose message
// is the caught message followed by the operation's own sentence. Errors that are not
// Exceptions pass unchanged.
class Db_access {
public:
    // Connection and schema
    bool db_open(AnsiString user, AnsiString password, AnsiString server, AnsiString database);
    bool db_close();
    void db_stop();
    void db_start();
    // Seven lines of server facts; the caller owns the list.
    TStringList* get_system();
    bool exist_schema(AnsiString schema);
    void create_db(AnsiString schema);

    // One medium, as a whole: each of these runs in one transaction and takes effect whole or
    // not at all; a failure raises ESaveError.
    //
    // A new medium with its keywords; returns its key.
    int put_eintrag(const Media& medium);
    // What the editor changed of a medium: its main data, its loan and its keywords, each
    // when its flag is set. `seen` is the medium as the user saw it when the editor opened.
    // The stored row is read and held first; where another client has changed a field that
    // this save writes, to a value other than the edited one, nothing is written: the result
    // names those fields and `seen` becomes the medium as stored now, so that the same call
    // with it stores the edited medium over those changes. An empty result: stored.
    std::vector<MediumField> up_eintrag(int key, Media& seen, const Media& edited, bool data,
                                        bool loan, bool keywords);
    // A medium with its keywords.
    void del_eintrag(int key);

    // One medium, statement by statement
    void put_medium(const Media& medium);
    // The key that the server gave this connection's last new medium.
    int get_lastPk();
    void put_stichwort(const Media& medium);
    Media get_medium(int key);
    std::vector<AnsiString> cut_string(AnsiString text);
    std::vector<AnsiString> get_stichworte(int key);
    // The three updates return false when no medium has the key; they change nothing then.
    // up_leihen stores the loan date without its time of day and refuses, before anything is
    // written, a day that a record would refuse when it is read back.
    bool up_medium(int key, const Media& medium);
    bool up_leihen(int key, const Media& medium);
    bool up_leihen(int key, AnsiString borrower, TDateTime date, int days);
    void del_stichwort(int key);
    void del_media(int key);

    // The media list: six caller-owned lists (keys, titles, authors, locations, types,
    // categories), to which every read appends one entry per row.
    void get_MediumListe(TStringList& ids, TStringList& titles, TStringList& authors,
                         TStringList& locations, TStringList& types, TStringList& categories);
    void get_medilist_sort(TStringList& ids, TStringList& titles, TStringList& authors,
                           TStringList& locations, TStringList& types, TStringList& categories,
                           AnsiString column, bool descending);
    void get_medilist_such(TStringList& ids, TStringList& titles, TStringList& authors,
                           TStringList& locations, TStringList& types, TStringList& categories,
                           AnsiString pattern);
    void get_stichwort_such(TStringList& ids, TStringList& titles, TStringList& authors,
                            TStringList& locations, TStringList& types, TStringList& categories,
                            AnsiString pattern);
    void start_medlist();
    void stop_medilist();

    // Master data: names of one table, their keys appended to the caller's list.
    std::vector<AnsiString> get_typ(std::vector<int>& keys);
    std::vector<AnsiString> get_kategorie(std::vector<int>& keys);
    std::vector<AnsiString> get_standort(std::vector<int>& keys);
    int put_ort(AnsiString name);
    int put_typ(AnsiString name);
    int put_kat(AnsiString name);
    void open_kat();
    void clos_kat();
    void open_typ();
    void clos_typ();
    void open_ort();
    void clos_ort();

    // Reports
    void print_infentar(bool pdf);
    void print_quitung(int key);
};
