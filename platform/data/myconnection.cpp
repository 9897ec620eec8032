#include "platform/data/myconnection.h"

#include <errmsg.h>
#include <mysqld_error.h>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <cerrno>
#include <poll.h>
#endif

namespace {

// The server is gone, or ended this connection: the handle is of no further use.
bool lost(unsigned code)
{
    return code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST || code == ER_CONNECTION_KILLED ||
           code == ER_SERVER_SHUTDOWN;
}

// Added to the server's own mode for every session: what does not fit is refused, never cut
// or zeroed. CONCAT_WS leaves out the server's mode when it is empty.
const char* const kStrictMode =
    "SET SESSION sql_mode = CONCAT_WS(',', NULLIF(@@SESSION.sql_mode, ''), 'STRICT_ALL_TABLES', "
    "'NO_ZERO_DATE', 'NO_ZERO_IN_DATE', 'ERROR_FOR_DIVISION_BY_ZERO')";

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
    // A lost connection is noticed and connected anew here, never behind a statement's back.
    mysql_optionsv(m, MYSQL_OPT_RECONNECT, &no);
    // Part of the connect: a refusal fails it.
    mysql_optionsv(m, MYSQL_INIT_COMMAND, kStrictMode);

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
    // A new session holds no transaction, also when one was lost with the old.
    inTransaction_ = false;
}

void TMyConnection::drop()
{
    if (!mysql_)
        return;
    mysql_close(mysql_);
    mysql_ = nullptr;
}

void TMyConnection::Close()
{
    drop();
    inTransaction_ = false;
}

bool TMyConnection::ended() const
{
    // Between statements the server sends nothing: anything to read, an end of the stream
    // or an error on the socket means that the server has ended the session.
    const my_socket socket = mysql_get_socket(mysql_);
#ifdef _WIN32
    WSAPOLLFD p{};
    p.fd = static_cast<SOCKET>(socket);
    p.events = POLLRDNORM;
    return WSAPoll(&p, 1, 0) != 0;
#else
    pollfd p{socket, POLLIN, 0};
    int ready;
    do
        ready = poll(&p, 1, 0);
    while (ready < 0 && errno == EINTR);
    return ready != 0;
#endif
}

void TMyConnection::Revive()
{
    if (mysql_ && !inTransaction_ && ended())
        Close();
}

MYSQL* TMyConnection::Handle()
{
    // Connecting anew here would run the transaction's remaining statements on their own.
    if (!mysql_ && inTransaction_)
        throw EMyError(QStringLiteral("Lost connection to server during the transaction"),
                       CR_SERVER_LOST);
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
        drop(); // the next statement connects anew, unless a transaction was open
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
    if (!mysql_ || ended()) {
        // The session ended before the commit went out: the server has discarded the
        // transaction.
        Close();
        throw EMyError(QStringLiteral("Lost connection to server before the commit"),
                       CR_SERVER_LOST);
    }
    inTransaction_ = false;
    if (mysql_commit(mysql_) == 0)
        return;
    const EMyError error = lastError();
    if (lost(error.ErrorCode)) {
        Close();
        // Only a commit that could not be sent is known to have done nothing.
        if (error.ErrorCode == CR_SERVER_GONE_ERROR)
            throw error;
        throw EMyCommitUnknown(error.Message, error.ErrorCode);
    }
    // Nothing stays open: undone, or gone with the connection, which the server discards.
    if (mysql_rollback(mysql_) != 0)
        Close();
    throw error;
}

void TMyConnection::Rollback()
{
    inTransaction_ = false;
    if (!mysql_)
        return;
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
