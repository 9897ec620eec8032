#include "platform/data/myconnection.h"

#include <errmsg.h>

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
    if (!mysql_real_connect(m, h.c_str(), u.c_str(), p.c_str(), d.IsEmpty() ? nullptr : d.c_str(),
                            static_cast<unsigned>(Port), nullptr, 0)) {
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
}

MYSQL* TMyConnection::Handle()
{
    Open();
    return mysql_;
}

void TMyConnection::RaiseLastError()
{
    const String message = AnsiString(mysql_error(mysql_)).toString();
    const unsigned code = mysql_errno(mysql_);
    if (code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST)
        Close(); // the next statement connects anew
    throw EMyError(message, code);
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
