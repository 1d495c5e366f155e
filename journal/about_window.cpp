#include "journal/about_window.h"

#include "db/program_facts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// "20261211.45296 (11.12.2026 12:34:56)": the stamp as the version gate compares it, and when that was.
QString buildText(const BuildStamp &stamp)
{
    const QDate date = QDate::fromString(QString::number(stamp.date), QStringLiteral("yyyyMMdd"));
    const QTime time = QTime(0, 0).addSecs(stamp.time);
    return QStringLiteral("%1.%2 (%3 %4)").arg(stamp.date).arg(stamp.time)
        .arg(date.toString(QStringLiteral("dd.MM.yyyy")), time.toString(QStringLiteral("HH:mm:ss")));
}

} // namespace

AboutWindow::AboutWindow(DataModule *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("AboutWindow"));
    setWindowTitle(QStringLiteral("О программе"));

    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Табель"), this);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.5);
    title->setFont(bold);
    layout->addWidget(title);

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    for (const char *caption : {"Версия", "Сборка", "Сервер", "База данных", "Роль", "Qt", "Драйвер ODBC",
                                "Сервер БД", "Настройки рабочего места", "Настройки пользователя"}) {
        auto *value = new QLabel(this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        // Long versions and paths wrap instead of widening the window past the screen.
        value->setMinimumWidth(360);
        form->addRow(QString::fromUtf8(caption) + QLatin1Char(':'), value);
        m_lines << qMakePair(QString::fromUtf8(caption), value);
    }
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Button1"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutWindow::prepare(Role role)
{
    fill(gatherProgramFacts(*m_module, role));
}

void AboutWindow::fill(const ProgramFacts &facts)
{
    const QString values[] = {
        facts.version,
        buildText(facts.stamp),
        facts.server,
        facts.database,
        facts.role,
        facts.qtVersion,
        facts.driver,
        facts.serverVersion,
        QDir::toNativeSeparators(facts.systemSettings),
        QDir::toNativeSeparators(facts.userSettings),
    };
    for (int i = 0; i < m_lines.size(); ++i)
        m_lines[i].second->setText(values[i]);
}

void AboutWindow::showAbout(Role role)
{
    prepare(role);
    exec();
}

QString AboutWindow::line(const QString &caption) const
{
    for (const auto &l : m_lines)
        if (l.first == caption)
            return l.second->text();
    return {};
}
