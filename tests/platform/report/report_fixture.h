#pragma once

// Templates shaped like the program's inventory list and loan receipt, written down as data
// the way the data module holds them.
#include "platform/report/memory_data_source.h"
#include "platform/report/report_template.h"

extern const char* const dataSetName; // "frxDBDataset1"

ReportPage InventoryPage();
ReportPage ReceiptPage();

// One inventory row; titles sort by number ("Titel 007").
MemoryDataSource::Row InventoryRow(int number);
// The bands of the inventory page, by kind.
extern const char* const inventoryTitle;
extern const char* const inventoryHeader;
extern const char* const inventoryData;
extern const char* const inventoryFooter;
