// Db_access: the connection and the schema.
#include "store/db_access.h"

#include "store/db_guard.h"
#include "store/medium_db.h"

#include <memory>

using store::guarded;

void store::revive()
{
    if (dat_medium)
        dat_medium->myc_medium->Revive();
}

bool Db_access::db_open(AnsiString user, AnsiString password, AnsiString server,
                        AnsiString database)
{
    TMyConnection* c = dat_medium->myc_medium;
    return guarded(
        ". Datenbankverbindung kann nicht geöffnet werden", [c] { c->Close(); },
        [&] {
            c->SetUsername(user.toString());
            c->SetPassword(password.toString());
            c->SetServer(server.toString());
            c->SetDatabase(database.toString());
            c->Open();
            return true;
        });
}

bool Db_access::db_close()
{
    TMyConnection* c = dat_medium->myc_medium;
    return guarded(
        ". Datenbankverbindung kann nicht geschlossen werden", [c] { c->Close(); },
        [c] {
            c->Close();
            return true;
        });
}

void Db_access::db_stop()
{
    guarded(". DB kann nicht gestoppt werden", [] { dat_medium->myc_medium->SetConnected(false); });
}

void Db_access::db_start()
{
    guarded(". DB kann nicht gestartet werden", [] { dat_medium->myc_medium->SetConnected(true); });
}

TStringList* Db_access::get_system()
{
    TMyQuery* q = dat_medium->qry_system;
    return guarded(
        ". Systemdaten können nicht ausgelesen werden.", [q] { q->Close(); },
        [q] {
            auto lines = std::make_unique<TStringList>();
            q->Open();
            const std::pair<const char*, const char*> facts[] = {
                {"Version: ", "version"},   {"Aktuelle Zeit: ", "zeit"},
                {"Benutzer: ", "benutzer"}, {"Aktueller Benutzer: ", "angemeldet"},
                {"Nutzer: ", "session"},    {"Systemnutzer: ", "system"},
                {"Schema: ", "schema"},
            };
            for (const auto& [label, field] : facts)
                lines->Add(QString::fromLatin1(label) +
                           q->FieldByName(QString::fromLatin1(field)).AsAnsiString().toString());
            q->Close();
            return lines.release();
        });
}

bool Db_access::exist_schema(AnsiString schema)
{
    TMyQuery* q = dat_medium->qry_schema;
    return guarded(
        ". Schema kann nicht ermittelt werden.", [q] { q->Close(); },
        [&] {
            TMyParams& params = q->Params();
            for (int i = 0; i < params.Count(); ++i)
                if (params[i].Name.compare(QLatin1String("db"), Qt::CaseInsensitive) == 0)
                    params[i].SetAsAnsiString(schema);
            q->ExecSQL();
            const int exist = q->FieldByName("exist").AsInteger();
            q->Close();
            return exist != 0;
        });
}

namespace {

// A name between back-quotes: a back-quote inside is doubled, so it cannot end the name.
AnsiString quotedName(const AnsiString& name)
{
    std::string out;
    for (char c : name.bytes()) {
        out += c;
        if (c == '`')
            out += '`';
    }
    return AnsiString(out);
}

// Whether the connection's current schema already holds a table of the catalogue.
bool holdsCatalogue(TMyConnection* c)
{
    TMyQuery q;
    q.Connection = c;
    q.SQL.Add("select count(*) as n from INFORMATION_SCHEMA.TABLES");
    q.SQL.Add("where TABLE_SCHEMA = DATABASE()");
    q.SQL.Add(" and TABLE_NAME in ('kategorie', 'mediumtyp', 'standort', 'medium', 'stichwort')");
    q.Open();
    return q.FieldByName("n").AsInteger() > 0;
}

} // namespace

void Db_access::create_db(AnsiString schema)
{
    guarded(". DB kann nicht angelegt werden.", [&] {
        TMyScript* s = dat_medium->scr_create_schema;
        const AnsiString name = quotedName(schema);
        s->SQL.Clear();
        s->SQL.Add((AnsiString("CREATE DATABASE  IF NOT EXISTS `") + name + "`;").toString());
        s->SQL.Add((AnsiString("USE `") + name + "`;").toString());
        s->Execute();
        // Without the new schema as the current one the script would run elsewhere; the
        // failures were shown already.
        if (s->ErrorCount() > 0)
            return;
        // The script begins by dropping the tables: never on a schema that holds a catalogue.
        if (holdsCatalogue(dat_medium->myc_medium))
            throw Exception(QString::fromUtf8("Das Schema %1 enthält bereits Tabellen des Katalogs")
                                .arg(schema.toString()));
        dat_medium->scr_create_db->Execute();
    });
}
