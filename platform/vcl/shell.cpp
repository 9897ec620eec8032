#include "platform/vcl/shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

const char* const kHelpWindowTitle = "Kollektar Hilfe";

namespace {

const char* helpText(int context)
{
    switch (context) {
    case 101:
        return "Kollektar verwaltet die Medien eines Haushalts: Bücher, Filme, Musik und Spiele. "
               "Die Befehle stehen im Menüband auf den Seiten Daten, Extra und Hilfe.";
    case 102:
        return "Das Hauptfenster zeigt alle Medien. Ein Klick auf einen Spaltenkopf sortiert die "
               "Liste, ein Doppelklick auf eine Zeile öffnet das Medium zum Bearbeiten.";
    case 103:
        return "In den Stammdaten werden Standorte, Medientypen und Kategorien gepflegt. "
               "Einträge, die ein Medium verwendet, können nicht gelöscht werden.";
    case 104:
        return "Ein neues Medium erfassen: Titel, Autor, Jahr, ISBN, Standort, Typ, Kategorie, "
               "Stichworte und Beschreibung eingeben und mit OK speichern.";
    case 105:
        return "Ein Medium bearbeiten: die geänderten Angaben werden mit OK gespeichert.";
    case 106:
        return "Löschen entfernt das Medium der gewählten Zeile mit seinen Stichworten.";
    case 107:
        return "Die Suche findet Titel mit einem Muster: % steht für beliebig viele Zeichen, "
               "_ für genau eines.";
    case 108:
        return "Die Stichwortsuche findet Medien, deren Stichworte dem Muster entsprechen.";
    case 109:
        return "Die Inventarliste wird gedruckt oder als PDF-Datei gespeichert.";
    case 110:
        return "Ausleihe: Person, Datum und Frist eintragen; die Quittung wird mit einem "
               "Strichcode des Schlüssels gedruckt.";
    case 111:
        return "Anmeldung: Benutzer, Passwort, Schema und Server eingeben und testen. Fehlt das "
               "Schema, kann es angelegt werden.";
    case 112:
        return "Informationen über Kollektar.";
    default:
        return "Zu diesem Thema gibt es keine Hilfe.";
    }
}

QPointer<QWidget> helpWindow;
int helpContext = 0;

void showHelp(int context, QWidget* owner)
{
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromLatin1(kHelpWindowTitle));
    window->setObjectName(QStringLiteral("help_window"));
    auto* layout = new QVBoxLayout(window);
    auto* text = new QTextBrowser(window);
    text->setPlainText(QString::fromUtf8(helpText(context)));
    layout->addWidget(text);
    window->resize(420, 260);
    if (owner)
        window->move(owner->geometry().center() - window->rect().center());
    helpWindow = window;
    helpContext = context;
    window->show();
}

} // namespace

int ShownHelpContext()
{
    // A window that was closed and is yet to be deleted shows nothing.
    return helpWindow && helpWindow->isVisible() ? helpContext : 0;
}

bool ShellExecuteExW(SHELLEXECUTEINFOW* info)
{
    if (!info)
        return false;
    if (info->lpFile == QLatin1String("hh")) {
        const QStringList args = info->lpParameters.split(u' ', Qt::SkipEmptyParts);
        const int at = args.indexOf(QStringLiteral("-mapid"));
        const int context = at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : 0;
        showHelp(context, info->hwnd);
        return true;
    }
    return QProcess::startDetached(info->lpFile, info->lpParameters.split(u' ', Qt::SkipEmptyParts),
                                   info->lpDirectory);
}

bool ShellExecuteW(QWidget*, const String&, const String& file, const String&, const String&, int)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(file));
}

QWidget* FindWindowW(const String& title)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title)
            return w;
    return nullptr;
}

long SendMessageW(QWidget* window, unsigned message, long, long)
{
    if (window && message == WM_CLOSE)
        window->close();
    return 0;
}
