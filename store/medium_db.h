#pragma once

#include "platform/data/mycommand.h"
#include "platform/data/myconnection.h"
#include "platform/data/mydatasource.h"
#include "platform/data/myquery.h"
#include "platform/data/myscript.h"
#include "platform/data/mytable.h"
#include "platform/report/frx_barcode_object.h"
#include "platform/report/frx_dbdataset.h"
#include "platform/report/frx_pdf_export.h"
#include "platform/report/frx_report.h"
#include "store/report_templates.h"

#include <memory>

namespace store {
// What a text column is ordered by, in German dictionary order (Ä with A, Ö with O, Ü with U,
// ß as ss), whatever collation its table has. No latin1 collation of the server orders so
// (latin1_german1_ci takes ß for s, latin1_german2_ci Ä for AE); the Unicode one does, on the
// text converted without loss.
String germanOrder(const String& column);
} // namespace store

// The data module: the one connection to the catalogue and every statement the store runs,
// the three master-data tables with their data sources, and the report templates. It holds
// no logic; Db_access drives it.
class Tdat_medium : public TDataModule {
public:
    explicit Tdat_medium(TComponent* owner);
    ~Tdat_medium() override;

    TMyTable* myt_typ;
    TMyTable* myt_kategorie;
    TMyDataSource* myds_typ;
    TMyDataSource* myds_kategorie;
    TMyCommand* myco_mediumIn;
    TMyQuery* qry_typ;
    TMyQuery* qry_kategorie;
    TMyCommand* myco_stichwortIn;
    TMyQuery* qry_get_maxpk;
    TMyQuery* qry_get_medium;
    TMyQuery* qry_get_stichwort;
    // The row of one medium, held for the transaction that reads it.
    TMyQuery* qry_lock_medium;
    TMyCommand* myco_upmedium;
    TMyCommand* myco_upleihe;
    TMyCommand* myco_delstichwort;
    TMyTable* myt_standort;
    TMyDataSource* myds_standort;
    TMyQuery* qry_standort;
    TMyCommand* myco_delmedia;
    TMyCommand* myco_ortin;
    TMyQuery* qry_ortpkmax;
    TMyCommand* myco_typin;
    TMyQuery* qry_typpkmax;
    TMyCommand* myco_katin;
    TMyQuery* qry_katpkmax;
    TMyQuery* qry_system;
    TMyQuery* qry_schema;
    TMyScript* scr_create_schema;
    TMyScript* scr_create_db;
    TMyQuery* qry_medlist_sort;
    TMyQuery* qry_med_such;
    TMyQuery* qry_stichwort_such;
    TMyQuery* qry_infentar;
    TMyConnection* myc_medium;
    TfrxReport* frp_infentar;
    TMyQuery* qry_get_mediumListe;
    TfrxDBDataset* frdb_infentar;
    TMyQuery* qry_quitung;
    TfrxDBDataset* frdb_quitung;
    TfrxReport* frp_quitung;
    TfrxBarCodeObject* frxBarCodeObject1;
    TfrxPDFExport* pdf_infentar;

private:
    template <class T> T* make(const char* name);
    void addLines(TStringList& sql, std::initializer_list<const char*> lines);

    // The rows the two data links read from their queries.
    std::unique_ptr<store::QueryRows> infentarRows_;
    std::unique_ptr<store::QueryRows> quitungRows_;
};

// The one instance, created at start-up before the main window.
extern Tdat_medium* dat_medium;
