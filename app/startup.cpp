#include "app/startup.h"

#include "db/connection_string.h"
#include "db/data_module.h"
#include "app/login_window.h"
#include "journal/journal_window.h"
#include "ui/message_boxes.h"
#include "ui/messages.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void installRussian(QApplication &app)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    auto *qtTranslator = new QTranslator(&app);
    if (qtTranslator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qtTranslator);
    // Liberation Sans has the Cyrillic letters and the metrics of the plant's usual fonts, so
    // windows look the same on every workstation: at 9 points, or at the desktop's size where the
    // user has chosen a larger one.
    QFont font(QStringLiteral("Liberation Sans"), qMax(9, QApplication::font().pointSize()));
    app.setFont(font);
}

int runProgram(QApplication &app, const QStringList &arguments)
{
    installMessageBoxes();
    auto *module = new DataModule(&app);
    JournalWindow *main = nullptr;
    LoginWindow *login = nullptr;
    const ConnectionTarget target = connectionTarget(arguments);
    try {
        module->open(connectionStringFor(target));
        main = new JournalWindow(module);
        login = new LoginWindow(main, target);
    } catch (const std::exception &e) {
        Messages::error(connectionFailureText(target, QString::fromUtf8(e.what())), QStringLiteral("Ошибка!"));
        delete main;
        return 1;
    }
    login->show();
    const int code = app.exec();
    delete login;
    delete main;
    return code;
}
