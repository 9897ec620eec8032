// Db_access: reading and writing one medium.
#include "store/db_access.h"

#include "platform/data/myerror.h"
#include "platform/data/mytransaction.h"
#include "platform/rtl/sysutils.h"
#include "store/db_guard.h"
#include "store/medium_db.h"

#include <algorithm>
#include <cmath>

using store::guarded;

namespace {

// The description goes as one BLOB: every line followed by CR LF, the last one included.
void bindDescription(TMyParam* param, const std::vector<AnsiString>& lines)
{
    TStringList text;
    for (const AnsiString& line : lines)
        text.Add(line.toString());
    TMemoryStream stream;
    text.SaveToStream(stream);
    param->SetParamType(TParamType::ptInput);
    param->SetDataType(TFieldType::ftBlob);
    param->LoadFromStream(stream, TFieldType::ftBlob);
}

// The column keeps only the day. A day that the record's rule refuses would make the medium
// unreadable, and one after the last day that a date field shows would not fit the column:
// both are refused here, with the rule's and the date field's message, before anything is
// written.
void checkStoredDay(TDateTime date)
{
    const double day = std::trunc(date.Val);
    if (!(day <= EncodeDate(9999, 12, 31).Val))
        throw Exception(QStringLiteral("Date exceeds maximum of 31.12.9999"));
    Media stored;
    stored.set_datum(DateOf(date));
}

// The one body of both forms of up_leihen.
bool upLeihen(const char* sentence, int key, const AnsiString& borrower, TDateTime date, int days)
{
    TMyCommand* c = dat_medium->myco_upleihe;
    return guarded(
        sentence, [c] { c->BreakExec(); },
        [&] {
            checkStoredDay(date);
            c->ParamByName("name")->SetAsAnsiString(borrower);
            c->ParamByName("dat")->SetAsDate(date);
            c->ParamByName("tage")->SetAsInteger(days);
            c->ParamByName("key")->SetAsInteger(key);
            c->Execute();
            return c->RowsAffected() > 0;
        });
}

using Part = ESaveError::Part;

// An operation on a medium as a whole: a failure of its own steps (the transaction, the read
// of the stored row) comes out with its sentence; one of the operations it runs keeps the
// text it has, with the part of the medium that it wrote.
template <class Work> auto whole(const char* sentence, Work&& work) -> decltype(work())
{
    store::revive();
    try {
        return work();
    } catch (const ESaveError&) {
        throw;
    } catch (const EMyCommitUnknown& e) {
        throw ESaveError(e.Message +
                             QString::fromUtf8(". Die Verbindung zum Datenbankserver ist beim "
                                               "Speichern abgebrochen: ob die Änderung "
                                               "gespeichert wurde, ist nicht bekannt. Die Liste "
                                               "zeigt, was gespeichert ist; fehlt die Änderung "
                                               "dort, mit OK noch einmal speichern") +
                             QString::fromUtf8(sentence),
                         Part::unknown, true);
    } catch (const Exception& e) {
        throw ESaveError(e.Message + QString::fromUtf8(sentence), Part::unknown, false);
    }
}

template <class Work> void step(Part part, Work&& work)
{
    try {
        work();
    } catch (const Exception& e) {
        throw ESaveError(e.Message, part, false);
    }
}

// The main data's statement fails at the description where the server names its column; a
// value of the other fields never reaches the server too long.
template <class Work> void dataStep(Work&& work)
{
    try {
        work();
    } catch (const Exception& e) {
        const bool description = e.Message.contains(QLatin1String("'beschreibung'"));
        throw ESaveError(e.Message, description ? Part::description : Part::data, false);
    }
}

TMyConnection& connection()
{
    return *dat_medium->myc_medium;
}

// The fields of one medium's row that both reads of a medium have, into `into`. The loan
// date is a text "dd.mm.yyyy", read with the program's date settings.
void readRow(Db_access& db, TMyQuery* q, Media& into)
{
    into.set_titel(q->FieldByName("titel").AsAnsiString());
    into.set_autor(q->FieldByName("autor").AsAnsiString());
    into.set_isbn(q->FieldByName("isbn").AsAnsiString());
    into.set_ortfk(q->FieldByName("ort_fk").AsInteger());
    into.set_beschrieb(db.cut_string(q->FieldByName("beschreibung").AsAnsiString()));
    into.set_jahr(q->FieldByName("jahr").AsAnsiString());
    into.set_auslei(q->FieldByName("ausgeliehen").AsAnsiString());
    into.set_datum(q->FieldByName("datum").AsDateTime());
    into.set_typfk(q->FieldByName("typ_fk").AsInteger());
    into.set_kategoriefk(q->FieldByName("kategorie_fk").AsInteger());
    into.set_tage(q->FieldByName("tage").AsInteger());
}

// Holds the medium's row until the transaction ends, so that no other client changes it
// before this one has written, and reads it into `into` (when given) as the read of one
// medium would. False when there is no such row.
bool lockMedium(Db_access& db, int key, Media* into)
{
    TMyQuery* q = dat_medium->qry_lock_medium;
    bool found = false;
    try {
        q->ParamByName("pk")->SetAsInteger(key);
        q->Open();
        found = !q->Eof();
        if (found && into)
            readRow(db, q, *into);
        q->Close();
    } catch (const Exception&) {
        q->Close();
        throw;
    }
    if (found && into)
        into->set_stichworte(db.get_stichworte(key));
    return found;
}

std::vector<AnsiString> sorted(std::vector<AnsiString> words)
{
    std::sort(words.begin(), words.end());
    return words;
}

bool same(MediumField field, const Media& a, const Media& b)
{
    switch (field) {
    case MediumField::titel:
        return a.get_titel() == b.get_titel();
    case MediumField::autor:
        return a.get_autor() == b.get_autor();
    case MediumField::isbn:
        return a.get_isbn() == b.get_isbn();
    case MediumField::standort:
        return a.get_ortfk() == b.get_ortfk();
    case MediumField::jahr:
        return a.get_jahr() == b.get_jahr();
    case MediumField::beschreibung:
        return a.get_beschrieb() == b.get_beschrieb();
    case MediumField::tage:
        return a.get_tage() == b.get_tage();
    case MediumField::typ:
        return a.get_typfk() == b.get_typfk();
    case MediumField::kategorie:
        return a.get_kategoriefk() == b.get_kategoriefk();
    case MediumField::ausgeliehen:
        return a.get_auslei() == b.get_auslei();
    case MediumField::datum:
        return a.get_datum().Val == b.get_datum().Val;
    case MediumField::stichworte:
        // The server gives them in no particular order.
        return sorted(a.get_stichworte()) == sorted(b.get_stichworte());
    }
    return false;
}

// The fields that each part of a save writes.
const MediumField kDataFields[] = {
    MediumField::titel,    MediumField::autor, MediumField::isbn,
    MediumField::standort, MediumField::jahr,  MediumField::beschreibung,
    MediumField::tage,     MediumField::typ,   MediumField::kategorie,
};
const MediumField kLoanFields[] = {MediumField::ausgeliehen, MediumField::datum, MediumField::tage};

} // namespace

void Db_access::put_medium(const Media& medium)
{
    TMyCommand* c = dat_medium->myco_mediumIn;
    guarded(
        ". Mediandaten können nicht in die DB geschrieben werden", [c] { c->BreakExec(); },
        [&] {
            c->ParamByName("titel")->SetAsAnsiString(medium.get_titel());
            c->ParamByName("autor")->SetAsAnsiString(medium.get_autor());
            c->ParamByName("standort")->SetAsInteger(medium.get_ortfk());
            bindDescription(c->ParamByName("beschrieb"), medium.get_beschrieb());
            c->ParamByName("jahr")->SetAsAnsiString(medium.get_jahr());
            c->ParamByName("typ")->SetAsInteger(medium.get_typfk());
            c->ParamByName("kat")->SetAsInteger(medium.get_kategoriefk());
            c->ParamByName("isbn")->SetAsAnsiString(medium.get_isbn());
            c->Execute();
        });
}

int Db_access::get_lastPk()
{
    TMyQuery* q = dat_medium->qry_get_maxpk;
    return guarded(
        ". Schlüssel kann nicht ermittelt werden", [q] { q->Close(); },
        [q] {
            q->Open();
            const int key = q->FieldByName("max_pk").AsInteger();
            q->Close();
            return key;
        });
}

void Db_access::put_stichwort(const Media& medium)
{
    TMyCommand* c = dat_medium->myco_stichwortIn;
    guarded(
        ". Stichworte können nicht in die Datenbank gelegt werden", [c] { c->BreakExec(); },
        [&] {
            const int key = medium.get_key();
            const std::vector<AnsiString> words = medium.get_stichworte();
            for (const AnsiString& word : words) {
                // A medium without keywords reads as one empty word: written back, it would
                // become a keyword that nobody typed.
                if (word.IsEmpty())
                    continue;
                c->ParamByName("pk")->SetAsInteger(key);
                c->ParamByName("text")->SetAsAnsiString(word);
                c->Execute();
            }
        });
}

Media Db_access::get_medium(int key)
{
    TMyQuery* q = dat_medium->qry_get_medium;
    return guarded(
        ". Multimedia Daten können nicht aus der Datenbank gelesen werden", [q] { q->Close(); },
        [&] {
            Media medium;
            q->ParamByName("pk")->SetAsInteger(key);
            medium.set_key(key);
            q->Open();
            readRow(*this, q, medium);
            medium.set_standortname(q->FieldByName("ort").AsAnsiString());
            medium.set_typname(q->FieldByName("typ").AsAnsiString());
            medium.set_katname(q->FieldByName("name").AsAnsiString());
            q->Close();
            medium.set_stichworte(get_stichworte(key));
            return medium;
        });
}

std::vector<AnsiString> Db_access::cut_string(AnsiString text)
{
    return guarded(". Text kann nicht zerlegt werden", [&] {
        std::vector<AnsiString> lines;
        std::string line;
        for (char c : text.bytes()) {
            if (c == '\n') {
                lines.emplace_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        // Text from another client need not end with a line break: its last line stays.
        if (!line.empty())
            lines.emplace_back(line);
        return lines;
    });
}

std::vector<AnsiString> Db_access::get_stichworte(int key)
{
    TMyQuery* q = dat_medium->qry_get_stichwort;
    return guarded(
        ". Stichworte können nicht aus der Datenbank gelesen werden", [q] { q->Close(); },
        [&] {
            std::vector<AnsiString> words;
            q->ParamByName("pk")->SetAsInteger(key);
            q->Open();
            // A row is read before the end is tested: no keywords read as one empty one.
            do {
                words.push_back(q->FieldByName("wort").AsAnsiString());
                q->Next();
            } while (!q->Eof());
            q->Close();
            return words;
        });
}

bool Db_access::up_medium(int key, const Media& medium)
{
    TMyCommand* c = dat_medium->myco_upmedium;
    return guarded(
        ". Multimedia Eintrag kann nicht upgedatet werden", [c] { c->BreakExec(); },
        [&] {
            c->ParamByName("key")->SetAsInteger(key);
            c->ParamByName("titel")->SetAsAnsiString(medium.get_titel());
            c->ParamByName("autor")->SetAsAnsiString(medium.get_autor());
            c->ParamByName("ort")->SetAsAnsiString(AnsiString(IntToStr(medium.get_ortfk())));
            c->ParamByName("jahr")->SetAsAnsiString(medium.get_jahr());
            bindDescription(c->ParamByName("beschrieb"), medium.get_beschrieb());
            c->ParamByName("typ")->SetAsInteger(medium.get_typfk());
            c->ParamByName("kat")->SetAsInteger(medium.get_kategoriefk());
            c->ParamByName("isbn")->SetAsAnsiString(medium.get_isbn());
            c->ParamByName("tage")->SetAsInteger(medium.get_tage());
            c->Execute();
            return c->RowsAffected() > 0;
        });
}

bool Db_access::up_leihen(int key, const Media& medium)
{
    return upLeihen(". Ausleihdaten können nicht in DB geschrieben werden", key,
                    medium.get_auslei(), medium.get_datum(), medium.get_tage());
}

bool Db_access::up_leihen(int key, AnsiString borrower, TDateTime date, int days)
{
    return upLeihen(". Ausleihdaten können nicht in die DB geschrieben werden", key, borrower, date,
                    days);
}

void Db_access::del_stichwort(int key)
{
    TMyCommand* c = dat_medium->myco_delstichwort;
    guarded(
        ". Stichworte können nicht gelöscht werden", [c] { c->BreakExec(); },
        [&] {
            c->ParamByName("key")->SetAsInteger(key);
            c->Execute();
        });
}

void Db_access::del_media(int key)
{
    TMyCommand* c = dat_medium->myco_delmedia;
    guarded(
        ". Multimediaeintrag kann nicht gelöscht werden", [c] { c->BreakExec(); },
        [&] {
            c->ParamByName("pk")->SetAsInteger(key);
            c->Execute();
        });
}

int Db_access::put_eintrag(const Media& medium)
{
    return whole(". Mediandaten können nicht in die DB geschrieben werden", [&] {
        TMyTransaction transaction(connection());
        dataStep([&] { put_medium(medium); });
        Media stored = medium;
        step(Part::unknown, [&] { stored.set_key(get_lastPk()); });
        step(Part::keywords, [&] { put_stichwort(stored); });
        transaction.Commit();
        return stored.get_key();
    });
}

std::vector<MediumField> Db_access::up_eintrag(int key, Media& seen, const Media& edited, bool data,
                                               bool loan, bool keywords)
{
    const char* const sentence = ". Multimedia Eintrag kann nicht upgedatet werden";
    return whole(sentence, [&] {
        TMyTransaction transaction(connection());
        Media now = seen;
        // Another client deleted it: the list shows it no longer.
        if (!lockMedium(*this, key, &now))
            throw ESaveError(QString::fromUtf8("Multimediaobjekt mit Schlüssel ") + IntToStr(key) +
                                 QString::fromUtf8(" ist nicht mehr in der Datenbank") +
                                 QString::fromUtf8(sentence),
                             Part::unknown, true);

        // A field that this save writes and that another client changed meanwhile, to
        // something else than this save's value, would be lost without a word.
        std::vector<MediumField> written;
        if (data)
            written.insert(written.end(), std::begin(kDataFields), std::end(kDataFields));
        if (loan)
            for (MediumField f : kLoanFields)
                if (std::find(written.begin(), written.end(), f) == written.end())
                    written.push_back(f);
        if (keywords)
            written.push_back(MediumField::stichworte);
        std::vector<MediumField> changed;
        for (MediumField f : written)
            if (!same(f, now, seen) && !same(f, now, edited))
                changed.push_back(f);
        if (!changed.empty()) {
            seen = now;
            return changed;
        }

        if (data)
            dataStep([&] { up_medium(key, edited); });
        if (loan)
            step(Part::loan, [&] { up_leihen(key, edited); });
        if (keywords)
            step(Part::keywords, [&] {
                del_stichwort(key);
                put_stichwort(edited);
            });
        transaction.Commit();
        return changed;
    });
}

void Db_access::del_eintrag(int key)
{
    whole(". Multimediaeintrag kann nicht gelöscht werden", [&] {
        TMyTransaction transaction(connection());
        // The row first, as a save holds it: two of them never wait for each other.
        lockMedium(*this, key, nullptr);
        // The keywords first: each refers to its medium.
        step(Part::keywords, [&] { del_stichwort(key); });
        step(Part::unknown, [&] { del_media(key); });
        transaction.Commit();
    });
}
