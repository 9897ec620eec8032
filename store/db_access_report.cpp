// Db_access: the reports, the inventory list and the loan receipt.
#include "store/db_access.h"

#include "store/db_guard.h"
#include "store/medium_db.h"

using store::guarded;

void Db_access::print_infentar(bool pdf)
{
    Tdat_medium* d = dat_medium;
    guarded(
        ". Infentar kann nicht gedruckt werden",
        [d] {
            d->frdb_infentar->Close();
            d->qry_infentar->Close();
        },
        [&] {
            d->qry_infentar->Open();
            d->frdb_infentar->Open();
            d->frp_infentar->ReportOptions.Name = QStringLiteral("Infentar");
            d->frp_infentar->PrepareReport(true);
            // A cancelled dialog is no failure.
            if (pdf)
                d->frp_infentar->Export(d->pdf_infentar);
            else
                d->frp_infentar->Print();
            d->frdb_infentar->Close();
            d->qry_infentar->Close();
        });
}

void Db_access::print_quitung(int key)
{
    Tdat_medium* d = dat_medium;
    guarded(
        ". Quitung kann nicht gedruckt werden",
        [d] {
            d->frdb_quitung->Close();
            d->qry_quitung->Close();
        },
        [&] {
            d->qry_quitung->ParamByName(QStringLiteral("pk"))->SetAsInteger(key);
            d->qry_quitung->Open();
            d->frdb_quitung->Open();
            d->frp_quitung->ReportOptions.Name = QStringLiteral("Quitung");
            // A key of more than seven digits has no EAN-8 code: it is printed as a text.
            d->frp_quitung->PrepareReport(true);
            d->frp_quitung->Print();
            d->frdb_quitung->Close();
            d->qry_quitung->Close();
        });
}
