// Db_access: reading and writing one medium.
#include "store/db_access.h"

#include "platform/rtl/sysutils.h"
#include "store/db_guard.h"
#include "store/medium_db.h"

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
// unreadable: it is refused here, with the rule's message, before anything is written.
void checkStoredDay(TDateTime date)
{
    Media stored;
    stored.set_datum(DateOf(date));
}

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
            medium.set_titel(q->FieldByName("titel").AsAnsiString());
            medium.set_autor(q->FieldByName("autor").AsAnsiString());
            medium.set_isbn(q->FieldByName("isbn").AsAnsiString());
            medium.set_ortfk(q->FieldByName("ort_fk").AsInteger());
            medium.set_standortname(q->FieldByName("ort").AsAnsiString());
            medium.set_beschrieb(cut_string(q->FieldByName("beschreibung").AsAnsiString()));
            medium.set_jahr(q->FieldByName("jahr").AsAnsiString());
            medium.set_auslei(q->FieldByName("ausgeliehen").AsAnsiString());
            // A text "dd.mm.yyyy", read with the program's date settings.
            medium.set_datum(q->FieldByName("datum").AsDateTime());
            medium.set_typfk(q->FieldByName("typ_fk").AsInteger());
            medium.set_typname(q->FieldByName("typ").AsAnsiString());
            medium.set_kategoriefk(q->FieldByName("kategorie_fk").AsInteger());
            medium.set_katname(q->FieldByName("name").AsAnsiString());
            medium.set_tage(q->FieldByName("tage").AsInteger());
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
    TMyCommand* c = dat_medium->myco_upleihe;
    return guarded(
        ". Ausleihdaten können nicht in DB geschrieben werden", [c] { c->BreakExec(); },
        [&] {
            checkStoredDay(medium.get_datum());
            c->ParamByName("name")->SetAsAnsiString(medium.get_auslei());
            c->ParamByName("dat")->SetAsDate(medium.get_datum());
            c->ParamByName("tage")->SetAsInteger(medium.get_tage());
            c->ParamByName("key")->SetAsInteger(key);
            c->Execute();
            return c->RowsAffected() > 0;
        });
}

bool Db_access::up_leihen(int key, AnsiString borrower, TDateTime date, int days)
{
    TMyCommand* c = dat_medium->myco_upleihe;
    return guarded(
        ". Ausleihdaten können nicht in die DB geschrieben werden", [c] { c->BreakExec(); },
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
