#include "store/medium_db.h"

String store::germanOrder(const String& column)
{
    return QStringLiteral("convert(%1 using utf8mb4) collate utf8mb4_unicode_ci").arg(column);
}

Tdat_medium* dat_medium = nullptr;

template <class T> T* Tdat_medium::make(const char* name)
{
    T* component = new T(this);
    component->Name = QString::fromLatin1(name);
    return component;
}

void Tdat_medium::addLines(TStringList& sql, std::initializer_list<const char*> lines)
{
    for (const char* line : lines)
        sql.Add(QString::fromUtf8(line));
}

Tdat_medium::Tdat_medium(TComponent* owner) : TDataModule(owner)
{
    myt_typ = make<TMyTable>("myt_typ");
    myt_kategorie = make<TMyTable>("myt_kategorie");
    myds_typ = make<TMyDataSource>("myds_typ");
    myds_kategorie = make<TMyDataSource>("myds_kategorie");
    myco_mediumIn = make<TMyCommand>("myco_mediumIn");
    qry_typ = make<TMyQuery>("qry_typ");
    qry_kategorie = make<TMyQuery>("qry_kategorie");
    myco_stichwortIn = make<TMyCommand>("myco_stichwortIn");
    qry_get_maxpk = make<TMyQuery>("qry_get_maxpk");
    qry_get_medium = make<TMyQuery>("qry_get_medium");
    qry_get_stichwort = make<TMyQuery>("qry_get_stichwort");
    qry_lock_medium = make<TMyQuery>("qry_lock_medium");
    myco_upmedium = make<TMyCommand>("myco_upmedium");
    myco_upleihe = make<TMyCommand>("myco_upleihe");
    myco_delstichwort = make<TMyCommand>("myco_delstichwort");
    myt_standort = make<TMyTable>("myt_standort");
    myds_standort = make<TMyDataSource>("myds_standort");
    qry_standort = make<TMyQuery>("qry_standort");
    myco_delmedia = make<TMyCommand>("myco_delmedia");
    myco_ortin = make<TMyCommand>("myco_ortin");
    qry_ortpkmax = make<TMyQuery>("qry_ortpkmax");
    myco_typin = make<TMyCommand>("myco_typin");
    qry_typpkmax = make<TMyQuery>("qry_typpkmax");
    myco_katin = make<TMyCommand>("myco_katin");
    qry_katpkmax = make<TMyQuery>("qry_katpkmax");
    qry_system = make<TMyQuery>("qry_system");
    qry_schema = make<TMyQuery>("qry_schema");
    scr_create_schema = make<TMyScript>("scr_create_schema");
    scr_create_db = make<TMyScript>("scr_create_db");
    qry_medlist_sort = make<TMyQuery>("qry_medlist_sort");
    qry_med_such = make<TMyQuery>("qry_med_such");
    qry_stichwort_such = make<TMyQuery>("qry_stichwort_such");
    qry_infentar = make<TMyQuery>("qry_infentar");
    myc_medium = make<TMyConnection>("myc_medium");
    frp_infentar = new TfrxReport;
    qry_get_mediumListe = make<TMyQuery>("qry_get_mediumListe");
    frdb_infentar = new TfrxDBDataset;
    qry_quitung = make<TMyQuery>("qry_quitung");
    frdb_quitung = new TfrxDBDataset;
    frp_quitung = new TfrxReport;
    frxBarCodeObject1 = new TfrxBarCodeObject;
    pdf_infentar = new TfrxPDFExport;

    // The connection keeps its defaults (port 3306, 15 s time-out, no user or password);
    // only the server and the schema are stored.
    myc_medium->SetServer("localhost");
    myc_medium->SetDatabase("med_test");

    for (TMyTable* t : {myt_typ, myt_kategorie, myt_standort})
        t->Connection = myc_medium;
    for (TMyCommand* c : {myco_mediumIn, myco_stichwortIn, myco_upmedium, myco_upleihe,
                          myco_delstichwort, myco_delmedia, myco_ortin, myco_typin, myco_katin})
        c->Connection = myc_medium;
    for (TMyQuery* q : {qry_typ, qry_kategorie, qry_get_maxpk, qry_get_medium, qry_get_stichwort,
                        qry_lock_medium, qry_standort, qry_ortpkmax, qry_typpkmax, qry_katpkmax,
                        qry_system, qry_schema, qry_medlist_sort, qry_med_such, qry_stichwort_such,
                        qry_infentar, qry_get_mediumListe, qry_quitung})
        q->Connection = myc_medium;
    // The list queries are read once from front to back: rows read are let go at once.
    for (TMyQuery* q : {qry_medlist_sort, qry_med_such, qry_stichwort_such, qry_get_mediumListe})
        q->UniDirectional = true;
    scr_create_schema->Connection = myc_medium;
    scr_create_db->Connection = myc_medium;

    myt_typ->TableName = "mediumtyp";
    myt_kategorie->TableName = "kategorie";
    myt_standort->TableName = "standort";
    myds_typ->DataSet = myt_typ;
    myds_kategorie->DataSet = myt_kategorie;
    myds_standort->DataSet = myt_standort;

    // Reports: each knows only its own data link; both links bear the same user name.
    infentarRows_ = std::make_unique<store::QueryRows>(qry_infentar);
    quitungRows_ = std::make_unique<store::QueryRows>(qry_quitung);
    frdb_infentar->UserName = QLatin1String(store::reportDataSet);
    frdb_infentar->DataSet = infentarRows_.get();
    frdb_quitung->UserName = QLatin1String(store::reportDataSet);
    frdb_quitung->DataSet = quitungRows_.get();
    frp_infentar->Page = store::infentarPage();
    frp_infentar->AddDataSet(frdb_infentar);
    frp_quitung->Page = store::quitungPage();
    frp_quitung->AddDataSet(frdb_quitung);
    for (TfrxReport* r : {frp_infentar, frp_quitung}) {
        r->PrintOptions.ShowDialog = true;
        r->PrintOptions.Printer.clear(); // the default printer
        r->PrintOptions.Copies = 1;
        r->PrintOptions.Collate = true;
    }

    pdf_infentar->ShowDialog = true;
    pdf_infentar->FileName.clear();
    pdf_infentar->OverwritePrompt = true;
    pdf_infentar->ShowProgress = true;
    pdf_infentar->Title.clear(); // the report's name
    pdf_infentar->Author = QStringLiteral("FastReport");
    pdf_infentar->Subject = QStringLiteral("FastReport PDF export");
    pdf_infentar->Keywords.clear();
    pdf_infentar->Creator.clear();
    pdf_infentar->Producer.clear();

    // clang-format off
    // Connection and schema
    addLines(qry_system->SQL, {
        "select ",
        "  VERSION() as version, ",
        "  now() as zeit, ",
        "  user() as benutzer, ",
        "  CURRENT_USER() as angemeldet, ",
        "  SESSION_USER() as 'session', ",
        "  SYSTEM_USER() as system,",
        "  DATABASE() as 'schema';",
    });
    addLines(qry_schema->SQL, {
        "select if(SCHEMA_NAME = :db, true, false) as exist",
        "from INFORMATION_SCHEMA.SCHEMATA",
        "where SCHEMA_NAME = :db ",
    });
    addLines(scr_create_db->SQL, {
        "-- CREATE DATABASE  IF NOT EXISTS `m_test`;",
        "-- USE `m_test`;",
        "",
        "",
        "-- Tabelle Kategorie",
        "DROP TABLE IF EXISTS `kategorie`;",
        "",
        "CREATE TABLE `kategorie` (",
        "  `kategorie_pk` int(10) unsigned NOT NULL AUTO_INCREMENT,",
        "  `name` varchar(100) NOT NULL,",
        "  PRIMARY KEY (`kategorie_pk`)",
        ") ENGINE=InnoDB AUTO_INCREMENT=1 DEFAULT CHARSET=latin1;",
        "",
        "-- Tabelle Mediumtyp",
        "DROP TABLE IF exists `mediumtyp`;",
        "",
        "CREATE TABLE `mediumtyp` (",
        "  `mediumtyp_pk` int(10) unsigned NOT NULL AUTO_INCREMENT,",
        "  `typ` varchar(100) DEFAULT NULL,",
        "  PRIMARY KEY (`mediumtyp_pk`)",
        ") ENGINE=InnoDB AUTO_INCREMENT=1 DEFAULT CHARSET=latin1;",
        "",
        "-- Tabelle standort",
        "DROP TABLE IF exists `standort`;",
        "",
        "CREATE TABLE `standort` (",
        "  `standort_pk` int(10) unsigned NOT NULL AUTO_INCREMENT,",
        "  `ort` varchar(150) DEFAULT NULL,",
        "  PRIMARY KEY (`standort_pk`)",
        ") ENGINE=InnoDB AUTO_INCREMENT=1 DEFAULT CHARSET=latin1 COMMENT='Liste der "
        "Standorte';",
        "",
        "-- Tabelle medium",
        "DROP TABLE IF exists `medium`;",
        "",
        "CREATE TABLE `medium` (",
        "  `medium_pk` int(10) unsigned NOT NULL AUTO_INCREMENT,",
        "  `titel` varchar(200) NOT NULL,",
        "  `autor` varchar(100) DEFAULT NULL,",
        "  `ort_fk` int(10) unsigned DEFAULT NULL,",
        "  `beschreibung` text,",
        "  `jahr` varchar(30) DEFAULT NULL,",
        "  `typ_fk` int(10) unsigned NOT NULL,",
        "  `kategorie_fk` int(10) unsigned NOT NULL,",
        "  `ausgeliehen` varchar(150) DEFAULT NULL,",
        "  `datum` datetime DEFAULT NULL,",
        "  `isbn` varchar(50) DEFAULT NULL,",
        "  `tage` int(4) DEFAULT NULL,",
        "  PRIMARY KEY (`medium_pk`),",
        "  KEY `typ_fk` (`typ_fk`),",
        "  KEY `kategorie_fk` (`kategorie_fk`),",
        "  KEY `ort_fk` (`ort_fk`),",
        "  CONSTRAINT `kategorie_fk` FOREIGN KEY (`kategorie_fk`) REFERENCES `kategorie` "
        "(`kategorie_pk`),",
        "  CONSTRAINT `ort_fk` FOREIGN KEY (`ort_fk`) REFERENCES `standort` (`standort_pk`),",
        "  CONSTRAINT `typ_fk` FOREIGN KEY (`typ_fk`) REFERENCES `mediumtyp` (`mediumtyp_pk`)",
        ") ENGINE=InnoDB AUTO_INCREMENT=1 DEFAULT CHARSET=latin1;",
        "",
        "",
        "-- Tabelle stichwort",
        "DROP TABLE IF exists `stichwort`;",
        "",
        "CREATE TABLE `stichwort` (",
        "  `medium_fk` int(10) unsigned NOT NULL,",
        "  `wort` varchar(50) NOT NULL,",
        "  PRIMARY KEY (`medium_fk`,`wort`) USING BTREE,",
        "  KEY `medium_fk` (`medium_fk`),",
        "  CONSTRAINT `medium_fk` FOREIGN KEY (`medium_fk`) REFERENCES `medium` (`medium_pk`)",
        ") ENGINE=InnoDB DEFAULT CHARSET=latin1;",
        "",
        "-- View erstellen",
        "CREATE VIEW `medlist` ",
        "AS ",
        "select ",
        " `a`.`medium_pk` AS `id`,",
        " `a`.`titel` AS `titel`,",
        " `a`.`autor` AS `autor`,",
        " `b`.`ort` AS `standort`,",
        " `c`.`typ` AS `typ`,",
        " `d`.`name` AS `kategorie` ",
        "from (((`medium` `a` ",
        " join `standort` `b` on((`b`.`standort_pk` = `a`.`ort_fk`))) ",
        " join `mediumtyp` `c` on((`c`.`mediumtyp_pk` = `a`.`typ_fk`))) ",
        " join `kategorie` `d` on((`d`.`kategorie_pk` = `a`.`kategorie_fk`)));",
        "",
        "create view infentar",
        "as",
        "select",
        " a.titel,",
        " a.autor,",
        " b.ort,",
        " a.beschreibung,",
        " a.jahr,",
        " a.ausgeliehen,",
        " date_format(COALESCE(a.datum, '2018-01-06'), '%d.%m.%Y') as datum,",
        " c.typ,",
        " d.name as kategorie,",
        " a.tage as ausleifrist,",
        " date_format(DATE_ADD(a.datum, interval a.tage day), '%d.%m.%Y') as rückgabe",
        "from medium a",
        " join standort b on b.standort_pk = a.ort_fk",
        " join mediumtyp c on c.mediumtyp_pk = a.typ_fk",
        " join kategorie d on d.kategorie_pk = a.kategorie_fk;",
        "",
        "",
        "",
        "",
        });

    // One medium
    addLines(myco_mediumIn->SQL, {
        "insert into medium",
        "(titel, autor, ort_fk, beschreibung, jahr, typ_fk, kategorie_fk, isbn)",
        "values",
        "(:titel, :autor, :standort, :beschrieb, :jahr, :typ, :kat, :isbn)",
    });
    // The key of this connection's own last insert: another client may have inserted a
    // medium with a higher key meanwhile.
    addLines(qry_get_maxpk->SQL, {
        "select LAST_INSERT_ID() as max_pk",
    });
    addLines(myco_stichwortIn->SQL, {
        "insert into stichwort",
        "(medium_fk, wort)",
        "values",
        "(:pk, :text)",
    });
    addLines(qry_get_medium->SQL, {
        "select",
        " a.titel,",
        " a.autor,",
        " a.ort_fk,",
        " b.ort,",
        " a.beschreibung,",
        " a.jahr,",
        " a.ausgeliehen,",
        " date_format(COALESCE(a.datum, '2018-01-06'), '%d.%m.%Y') as datum,",
        " a.typ_fk,",
        " c.typ,",
        " a.kategorie_fk,",
        " d.name,",
        " a.isbn,",
        " a.tage",
        "from medium a",
        " join standort b on b.standort_pk = a.ort_fk",
        " join mediumtyp c on c.mediumtyp_pk = a.typ_fk",
        " join kategorie d on d.kategorie_pk = a.kategorie_fk",
        "where a.medium_pk = :pk",
    });
    addLines(qry_get_stichwort->SQL, {
        "SELECT wort",
        "FROM stichwort",
        "where medium_fk = :pk",
    });
    // What an edit compares with what the user saw, read and held until the edit's
    // transaction ends; the same texts as qry_get_medium gives, from the medium's row alone,
    // so that only that row is held.
    addLines(qry_lock_medium->SQL, {
        "select",
        " titel,",
        " autor,",
        " ort_fk,",
        " beschreibung,",
        " jahr,",
        " ausgeliehen,",
        " date_format(COALESCE(datum, '2018-01-06'), '%d.%m.%Y') as datum,",
        " typ_fk,",
        " kategorie_fk,",
        " isbn,",
        " tage",
        "from medium",
        "where medium_pk = :pk",
        "for update",
    });
    addLines(myco_upmedium->SQL, {
        "update medium",
        " set titel = :titel,",
        " autor = :autor,",
        " ort_fk = :ort,",
        " beschreibung = :beschrieb,",
        " jahr = :jahr,",
        " typ_fk = :typ,",
        " kategorie_fk = :kat,",
        " isbn = :isbn,",
        " tage = :tage",
        "where medium_pk = :key",
    });
    addLines(myco_upleihe->SQL, {
        "update medium",
        " set ausgeliehen = :name,",
        "     datum = :dat,",
        "     tage = :tage",
        "where medium_pk = :key",
    });
    addLines(myco_delstichwort->SQL, {
        "delete from stichwort",
        "where medium_fk = :key",
    });
    addLines(myco_delmedia->SQL, {
        "delete from medium",
        "where medium_pk = :pk",
    });

    // The media list, and the inventory, in the order of the sort by title
    const std::string byTitle =
        "order by " + store::germanOrder(QStringLiteral("titel")).toStdString();
    addLines(qry_get_mediumListe->SQL, {
        "select",
        " id,",
        " titel,",
        " autor,",
        " standort,",
        " typ,",
        " kategorie",
        "from medlist",
        byTitle.c_str(),
    });
    addLines(qry_medlist_sort->SQL, {
        "select",
        " id,",
        " titel,",
        " autor,",
        " standort,",
        " typ,",
        " kategorie",
        "from medlist",
        "order by id",
    });
    addLines(qry_med_such->SQL, {
        "select",
        " id,",
        " titel,",
        " autor,",
        " standort,",
        " typ,",
        " kategorie",
        "from medlist",
        "where titel like :such",
    });
    addLines(qry_stichwort_such->SQL, {
        "select",
        " id,",
        " titel,",
        " autor,",
        " standort,",
        " typ,",
        " kategorie",
        "from medlist",
        "where id in (select medium_fk from stichwort",
        "\t\t\twhere wort like :such)",
    });

    // Master data
    addLines(qry_typ->SQL, {
        "select mediumtyp_pk, typ",
        "from mediumtyp",
        "order by typ",
    });
    addLines(qry_kategorie->SQL, {
        "select kategorie_pk, name",
        "from kategorie",
        "order by name",
    });
    addLines(qry_standort->SQL, {
        "select standort_pk, ort",
        "from standort",
        "order by ort",
    });
    addLines(myco_ortin->SQL, {
        "insert into standort",
        "(ort)",
        "value",
        "(:ort)",
    });
    addLines(qry_ortpkmax->SQL, {
        "select max( standort_pk ) as pk",
        "from standort",
    });
    addLines(myco_typin->SQL, {
        "insert into mediumtyp",
        "(typ)",
        "value",
        "(:typ)",
    });
    addLines(qry_typpkmax->SQL, {
        "select max( mediumtyp_pk ) as pk",
        "from mediumtyp",
    });
    addLines(myco_katin->SQL, {
        "insert into kategorie",
        "(name)",
        "value",
        "(:name)",
    });
    addLines(qry_katpkmax->SQL, {
        "select max( kategorie_pk ) as pk",
        "from kategorie",
    });

    // Reports
    addLines(qry_infentar->SQL, {
        "select ",
        "  titel,",
        "  autor,",
        "  ort,",
        "  beschreibung,",
        "  jahr,",
        "  datum,",
        "  ausgeliehen,",
        "  typ,",
        "  kategorie,",
        "  ausleifrist,",
        "  rückgabe",
        "from infentar",
        byTitle.c_str(),
    });
    addLines(qry_quitung->SQL, {
        "select",
        "  a.medium_pk,",
        "  a.titel,",
        "  a.isbn,",
        "  a.ausgeliehen,",
        "  date_format(COALESCE(a.datum, '2018-01-06'), '%d.%m.%Y') as datum,",
        "  a.tage,",
        "  date_format(DATE_ADD(a.datum, interval a.tage day), '%d.%m.%Y') as rückgabe",
        "from medium a",
        "where medium_pk = :pk",
    });
    // clang-format on
}

Tdat_medium::~Tdat_medium()
{
    delete pdf_infentar;
    delete frxBarCodeObject1;
    delete frp_quitung;
    delete frdb_quitung;
    delete frdb_infentar;
    delete frp_infentar;
}
