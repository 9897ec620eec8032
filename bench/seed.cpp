#include "bench/seed.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

void exec(MYSQL* mysql, const std::string& sql)
{
    if (mysql_real_query(mysql, sql.data(), sql.size()) != 0) {
        std::fprintf(stderr, "bench: %s\n  in: %.200s\n", mysql_error(mysql), sql.c_str());
        std::exit(1);
    }
    if (MYSQL_RES* r = mysql_store_result(mysql))
        mysql_free_result(r);
}

std::string value(MYSQL* mysql, const std::string& sql)
{
    if (mysql_real_query(mysql, sql.data(), sql.size()) != 0) {
        std::fprintf(stderr, "bench: %s\n  in: %.200s\n", mysql_error(mysql), sql.c_str());
        std::exit(1);
    }
    MYSQL_RES* r = mysql_store_result(mysql);
    MYSQL_ROW row = r ? mysql_fetch_row(r) : nullptr;
    const std::string v = row && row[0] ? row[0] : "";
    if (r)
        mysql_free_result(r);
    return v;
}

void seedCatalogue(MYSQL* mysql, int n)
{
    const std::string count = std::to_string(n);
    exec(mysql, "SET FOREIGN_KEY_CHECKS = 0");
    for (const char* t : {"stichwort", "medium", "kategorie", "mediumtyp", "standort"})
        exec(mysql, std::string("TRUNCATE TABLE ") + t);
    exec(mysql, "SET FOREIGN_KEY_CHECKS = 1");
    exec(mysql, "INSERT INTO kategorie (name) SELECT CONCAT('Kategorie ', seq) FROM seq_1_to_12");
    exec(mysql, "INSERT INTO mediumtyp (typ) SELECT ELT(seq, 'Buch', 'DVD', 'CD', 'Spiel', "
                "'Zeitschrift') FROM seq_1_to_5");
    exec(mysql, "INSERT INTO standort (ort) SELECT CONCAT('Regal ', seq) FROM seq_1_to_30");
    exec(mysql,
         "INSERT INTO medium (medium_pk, titel, autor, ort_fk, beschreibung, jahr, typ_fk, "
         "kategorie_fk, ausgeliehen, datum, isbn, tage) "
         "SELECT seq, CONCAT(ELT(1 + seq % 7, 'Das Haus', 'Der Garten', 'Die Reise', 'Am See', "
         "'Das Lied', 'Im Wald', 'Der Berg'), ' am ', MD5(seq)), "
         "CONCAT('Autor ', seq % 997), 1 + seq % 30, "
         "CONCAT('Erste Zeile ', seq, '\\r\\nZweite Zeile\\r\\nDritte Zeile\\r\\n'), "
         "1950 + seq % 70, 1 + seq % 5, 1 + seq % 12, "
         "IF(seq % 5 = 0, CONCAT('Leser ', seq % 101), NULL), "
         "IF(seq % 5 = 0, '2024-05-01' + INTERVAL seq % 300 DAY, NULL), "
         "CONCAT('978-3-', LPAD(seq, 9, '0')), IF(seq % 5 = 0, 14 + seq % 3 * 7, NULL) "
         "FROM seq_1_to_" +
             count);
    exec(mysql,
         "INSERT INTO stichwort (medium_fk, wort) "
         "SELECT m.seq, ELT(k.seq, ELT(1 + m.seq % 4, 'Haus', 'Hausbau', 'Garten', 'Reise'), "
         "CONCAT('Wort ', m.seq % 211), CONCAT('Thema ', m.seq % 53)) "
         "FROM seq_1_to_" +
             count + " m JOIN seq_1_to_3 k");
    exec(mysql, "ANALYZE TABLE medium, stichwort, standort, mediumtyp, kategorie");
}

} // namespace bench
