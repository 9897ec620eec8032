#include "tests/support/testdb.h"

#include <QFile>
#include <QtGlobal>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace testdb {

unsigned port()
{
    const QByteArray direct = qgetenv("KOLLEKTAR_TEST_PORT");
    if (!direct.isEmpty())
        return direct.toUInt();
    const QByteArray dir = qgetenv("KOLLEKTAR_TEST_DB_DIR");
    QFile file(QString::fromLocal8Bit(dir) + QStringLiteral("/port"));
    if (dir.isEmpty() || !file.open(QIODevice::ReadOnly))
        qFatal(
            "no test server: neither KOLLEKTAR_TEST_PORT nor a port file in KOLLEKTAR_TEST_DB_DIR");
    return file.readAll().trimmed().toUInt();
}

Direct::Direct(const std::string& schema)
{
    mysql_ = mysql_init(nullptr);
    const unsigned protocol = MYSQL_PROTOCOL_TCP;
    mysql_optionsv(mysql_, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_optionsv(mysql_, MYSQL_SET_CHARSET_NAME, "latin1");
    if (!mysql_real_connect(mysql_, "127.0.0.1", "root", "",
                            schema.empty() ? nullptr : schema.c_str(), port(), nullptr,
                            CLIENT_MULTI_STATEMENTS)) {
        const std::string message = mysql_error(mysql_);
        mysql_close(mysql_);
        throw std::runtime_error(message);
    }
}

Direct::~Direct()
{
    mysql_close(mysql_);
}

void Direct::exec(const std::string& sql)
{
    if (mysql_real_query(mysql_, sql.data(), sql.size()) != 0)
        throw std::runtime_error(std::string(mysql_error(mysql_)) + " in: " + sql);
    // Drain every result of a multi-statement text.
    do {
        if (MYSQL_RES* res = mysql_store_result(mysql_))
            mysql_free_result(res);
    } while (mysql_next_result(mysql_) == 0);
    if (mysql_errno(mysql_) != 0)
        throw std::runtime_error(std::string(mysql_error(mysql_)) + " in: " + sql);
}

std::vector<std::vector<std::string>> Direct::rows(const std::string& sql)
{
    if (mysql_real_query(mysql_, sql.data(), sql.size()) != 0)
        throw std::runtime_error(std::string(mysql_error(mysql_)) + " in: " + sql);
    MYSQL_RES* res = mysql_store_result(mysql_);
    std::vector<std::vector<std::string>> out;
    if (!res)
        return out;
    const unsigned n = mysql_num_fields(res);
    while (MYSQL_ROW row = mysql_fetch_row(res)) {
        unsigned long* lengths = mysql_fetch_lengths(res);
        std::vector<std::string> r;
        for (unsigned i = 0; i < n; ++i)
            r.push_back(row[i] ? std::string(row[i], lengths[i]) : std::string("<NULL>"));
        out.push_back(std::move(r));
    }
    mysql_free_result(res);
    return out;
}

std::string Direct::value(const std::string& sql)
{
    const auto r = rows(sql);
    return r.empty() || r[0].empty() ? std::string("<none>") : r[0][0];
}

std::string Direct::escape(const std::string& text)
{
    std::string out(text.size() * 2 + 1, '\0');
    out.resize(mysql_real_escape_string(mysql_, out.data(), text.data(), text.size()));
    return out;
}

Schema::Schema(const std::string& tag)
{
    static std::atomic<int> counter{0};
    name_ = "kt_" + tag + "_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    Direct db;
    db.exec("DROP DATABASE IF EXISTS `" + name_ + "`");
    db.exec("CREATE DATABASE `" + name_ + "`");
}

Schema::~Schema()
{
    try {
        Direct db;
        db.exec("DROP DATABASE IF EXISTS `" + name_ + "`");
    } catch (...) {
    }
}

} // namespace testdb

char* std::toString(const std::vector<std::vector<std::string>>& rows)
{
    std::string out;
    for (const auto& row : rows) {
        out += "\n    {";
        for (std::size_t i = 0; i < row.size(); ++i)
            out += (i ? ", \"" : "\"") + row[i] + "\"";
        out += "}";
    }
    return qstrdup(out.c_str());
}
