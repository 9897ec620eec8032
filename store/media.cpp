#include "store/media.h"

#include "platform/rtl/exception.h"

#include <utility>

Media::Media() : datum(StrToDateTime(QStringLiteral("01.01.2000"))) {}

int Media::get_key() const
{
    return key;
}

AnsiString Media::get_titel() const
{
    return titel;
}

AnsiString Media::get_autor() const
{
    return autor;
}

int Media::get_ortfk() const
{
    return ortfk;
}

AnsiString Media::get_standortname() const
{
    return standortname;
}

std::vector<AnsiString> Media::get_beschrieb() const
{
    return beschrieb;
}

AnsiString Media::get_jahr() const
{
    return jahr;
}

int Media::get_typfk() const
{
    return typfk;
}

int Media::get_kategoriefk() const
{
    return kategoriefk;
}

AnsiString Media::get_typname() const
{
    return typname;
}

AnsiString Media::get_katname() const
{
    return katname;
}

AnsiString Media::get_auslei() const
{
    return auslei;
}

TDateTime Media::get_datum() const
{
    return datum;
}

std::vector<AnsiString> Media::get_stichworte() const
{
    return stichworte;
}

AnsiString Media::get_isbn() const
{
    return isbn;
}

int Media::get_tage() const
{
    return tage;
}

void Media::set_key(int value)
{
    if (value < 1)
        throw Exception(QStringLiteral("Ungültiger Schlüssel"));
    key = value;
}

void Media::set_titel(AnsiString value)
{
    if (value.Length() > 200)
        throw Exception(QStringLiteral("Titel ist zu lang. Es sind Maximal 200 Zeichen möglich"));
    titel = std::move(value);
}

void Media::set_autor(AnsiString value)
{
    if (value.Length() > 100)
        throw Exception(QStringLiteral("Der Autor kann maximal 100 Zeichen lang sein"));
    autor = std::move(value);
}

void Media::set_ortfk(int value)
{
    if (value < 1)
        throw Exception(QStringLiteral("Schlüssel für Ort ist ungültig"));
    ortfk = value;
}

void Media::set_standortname(AnsiString value)
{
    standortname = std::move(value);
}

void Media::set_beschrieb(std::vector<AnsiString> value)
{
    try {
        beschrieb = value;
    } catch (Exception& e) {
        throw Exception(e.Message + QStringLiteral(". Der Beschrieb kann nicht übernommen werden"));
    }
}

void Media::set_jahr(AnsiString value)
{
    if (value.Length() > 30)
        throw Exception(QStringLiteral("Es sind maximal 30 Zeichen möglich"));
    jahr = std::move(value);
}

void Media::set_typfk(int value)
{
    if (value < 1)
        throw Exception(QStringLiteral("Schlüssel für Typ ist ungültig"));
    typfk = value;
}

void Media::set_kategoriefk(int value)
{
    if (value < 1)
        throw Exception(QStringLiteral("Schlüssel für Kategorie ist ungültig"));
    kategoriefk = value;
}

void Media::set_typname(AnsiString value)
{
    typname = std::move(value);
}

void Media::set_katname(AnsiString value)
{
    katname = std::move(value);
}

void Media::set_auslei(AnsiString value)
{
    if (value.Length() > 150)
        throw Exception(QStringLiteral("Text zum Auslei darf nicht länger als 150 Zeichen sein"));
    auslei = std::move(value);
}

void Media::set_datum(TDateTime value)
{
    // Written so that a NaN is refused as well.
    if (!(value.Val > StrToDateTime(QStringLiteral("01.01.1900")).Val))
        throw Exception(QStringLiteral("Datum liegt zu weit in der Vergangenheit"));
    datum = value;
}

void Media::set_stichworte(std::vector<AnsiString> value)
{
    if (value.empty())
        return;
    stichworte = std::move(value);
}

void Media::set_isbn(AnsiString value)
{
    isbn = std::move(value);
}

void Media::set_tage(int value)
{
    tage = value;
}
