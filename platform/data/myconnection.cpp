#include "platform/data/myconnection.h"

#include <errmsg.h>
#include <mysqld_error.h>

namespace {

// The server is gone, or ended this connection: the handle is of no further use.
bool lost(unsigned code)
{
    return code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST || code == ER_CONNECTION_KILLED;
}

} // namespace

TMyConnection::TMyConnection(TComponent* owner) : TComponent(owner) {}

TMyConnection::~TMyConnection()
{
    Close();
}

void TMyConnection::reset(String& field, const String& value)
{
    if (field == value)
        return;
    Close();
    field = value;
}

void TMyConnection::SetUsername(const String& value)
{
    reset(username_, value);
}

void TMyConnection::SetPassword(const String& value)
{
    reset(password_, value);
}

void TMyConnection::SetServer(const String& value)
{
    reset(server_, value);
}

void TMyConnection::SetDatabase(const String& value)
{
    if (database_ == value)
        return;
    database_ = value;
    if (mysql_ && !value.isEmpty()) {
        const AnsiString name(value);
        if (mysql_select_db(mysql_, name.c_str()) != 0)
            RaiseLastError();
    }
}

void TMyConnection::Open()
{
    if (mysql_)
        return;
    MYSQL* m = mysql_init(nullptr);
    if (!m)
        throw EMyError(QStringLiteral("Out of memory"), CR_OUT_OF_MEMORY);
    const unsigned protocol = MYSQL_PROTOCOL_TCP;
    const unsigned timeout = static_cast<unsigned>(ConnectionTimeout);
    const my_bool no = 0;
    mysql_optionsv(m, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_optionsv(m, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_optionsv(m, MYSQL_SET_CHARSET_NAME, "latin1");
    mysql_optionsv(m, MYSQL_OPT_LOCAL_INFILE, &no);

    // Always TCP: "localhost" is the loopback address, never the local socket.
    String host = server_.trimmed();
    if (host.isEmpty() || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        host = QStringLiteral("127.0.0.1");
    const AnsiString h(host), u(username_), p(password_), d(database_);
    // An update reports the rows it found, also those that already held the new values.
    if (!mysql_real_connect(m, h.c_str(), u.c_str(), p.c_str(), d.IsEmpty() ? nullptr : d.c_str(),
                            static_cast<unsigned>(Port), nullptr, CLIENT_FOUND_ROWS)) {
        const String message = AnsiString(mysql_error(m)).toString();
        const unsigned code = mysql_errno(m);
        mysql_close(m);
        throw EMyError(message, code);
    }
    mysql_ = m;
}

void TMyConnection::Close()
{
    if (!mysql_)
        return;
    mysql_close(mysql_);
    mysql_ = nullptr;
    inTransaction_ = false;
}

MYSQL* TMyConnection::Handle()
{
    Open();
    return mysql_;
}

EMyError TMyConnection::lastError() const
{
    return EMyError(AnsiString(mysql_error(mysql_)).toString(), mysql_errno(mysql_));
}

void TMyConnection::RaiseLastError()
{
    const EMyError error = lastError();
    if (lost(error.ErrorCode))
        Close(); // the next statement connects anew
    throw error;
}

void TMyConnection::StartTransaction()
{
    // A second START TRANSACTION would commit the first one.
    if (inTransaction_)
        throw EDatabaseError(QStringLiteral("A transaction is already active"));
    if (MYSQL_RES* result = Run("START TRANSACTION"))
        mysql_free_result(result);
    inTransaction_ = true;
}

void TMyConnection::Commit()
{
    if (!inTransaction_)
        throw EDatabaseError(QStringLiteral("No transaction is active"));
    inTransaction_ = false;
    if (mysql_commit(mysql_) == 0)
        return;
    const EMyError error = lastError();
    // Nothing stays open: undone, or gone with the connection, which the server discards.
    if (lost(error.ErrorCode) || mysql_rollback(mysql_) != 0)
        Close();
    throw error;
}

void TMyConnection::Rollback()
{
    if (!mysql_)
        return;
    inTransaction_ = false;
    if (mysql_rollback(mysql_) == 0)
        return;
    const EMyError error = lastError();
    // What could not be undone goes with the connection.
    Close();
    if (!lost(error.ErrorCode))
        throw error;
}

MYSQL_RES* TMyConnection::Run(const std::string& sql)
{
    MYSQL* m = Handle();
    if (mysql_real_query(m, sql.data(), static_cast<unsigned long>(sql.size())) != 0)
        RaiseLastError();
    MYSQL_RES* result = mysql_store_result(m);
    if (!result && mysql_field_count(m) != 0)
        RaiseLastError();
    // A statement may leave further results (procedures); they are not ours.
    while (mysql_more_results(m) && mysql_next_result(m) == 0) {
        if (MYSQL_RES* extra = mysql_store_result(m))
            mysql_free_result(extra);
    }
    return result;
}

std::string TMyConnection::Escape(const std::string& bytes)
{
    MYSQL* m = Handle();
    std::string out(bytes.size() * 2 + 1, '\0');
    out.resize(mysql_real_escape_string(m, out.data(), bytes.data(),
                                        static_cast<unsigned long>(bytes.size())));
    return out;
}
