#pragma once

#include <mysql.h>

#include <string>

namespace bench {

// Fills the catalogue tables of the current schema with n media: about three keywords, a
// description of a few lines and, on every fifth medium, a loan. Bulk SQL on the server.
void seedCatalogue(MYSQL* mysql, int n);

// Runs one statement and fails the benchmark with the server's message when it is refused.
void exec(MYSQL* mysql, const std::string& sql);
// The first field of the first row.
std::string value(MYSQL* mysql, const std::string& sql);

} // namespace bench
