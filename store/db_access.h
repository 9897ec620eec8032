#pragma once

#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "store/media.h"

#include <vector>

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
    // Statements that belong together: what runs between db_begin and db_commit takes effect
    // as a whole; db_rollback undoes it. Everything else takes effect statement by statement.
    void db_begin();
    void db_commit();
    void db_rollback();

    // One medium
    void put_medium(const Media& medium);
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
