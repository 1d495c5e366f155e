#include "records/record_dialog.h"

#include "app/data_module.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "db/dataset.h"
#include "db/plant.h"
#include "db/sql_text.h"
#include "records/day_cell_rule.h"
#include "reference/price_list.h"
#include "reference/worker_list.h"

#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QString paintingMark = QStringLiteral("КРАСКА");

QLineEdit *readOnlyField(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::ClickFocus);   // no tab stop
    return e;
}

} // namespace

TForm11 *TForm11::instance()
{
    static QPointer<TForm11> form;
    if (!form)
        form = new TForm11(Form1, DataModule6, Form1);
    return form;
}

TForm11::TForm11(TForm1 *mainWindow, TDataModule6 *module, QWidget *parent)
    : QDialog(parent), m_main(mainWindow), m_module(module)
{
    setObjectName(QStringLiteral("TForm11"));
    setWindowTitle(QStringLiteral("Заведение новой позиции (11)"));

    auto *group = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    QFont bold = group->font();
    bold.setBold(true);
    group->setFont(bold);
    // Only the group's title is bold; its fields and labels keep the dialog's font.
    QFont normal = font();
    normal.setBold(false);

    Edit1 = readOnlyField(group, "Edit1");
    Edit2 = readOnlyField(group, "Edit2");
    Edit7 = readOnlyField(group, "Edit7");
    Edit8 = readOnlyField(group, "Edit8");
    Edit9 = readOnlyField(group, "Edit9");
    // Quantities, hours and colour codes are whole numbers typed as digits only.
    auto *digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    auto digitField = [&](const char *name) {
        auto *e = new QLineEdit(group);
        e->setObjectName(QString::fromLatin1(name));
        e->setValidator(digits);
        return e;
    };
    Edit3 = digitField("Edit3");
    Edit4 = digitField("Edit4");
    Edit5 = digitField("Edit5");
    Edit6 = digitField("Edit6");
    DTimeP = new QDateEdit(QDate::currentDate(), group);
    DTimeP->setObjectName(QStringLiteral("DTimeP"));
    DTimeP->setCalendarPopup(true);
    DTimeP->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));

    Button3 = new QPushButton(QStringLiteral("..."), group);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button4 = new QPushButton(QStringLiteral("..."), group);
    Button4->setObjectName(QStringLiteral("Button4"));
    for (QPushButton *b : {Button3, Button4}) {
        b->setAutoDefault(false);
        b->setFixedWidth(28);
    }

    auto label = [&](const QString &text) {
        auto *l = new QLabel(text, group);
        return l;
    };
    Label6 = label(QStringLiteral("Цвет"));
    Label6->setObjectName(QStringLiteral("Label6"));

    auto *grid = new QGridLayout(group);
    grid->addWidget(label(QStringLiteral("ФИО")), 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 4);
    grid->addWidget(Button3, 0, 5);
    grid->addWidget(label(QStringLiteral("Операция")), 1, 0);
    grid->addWidget(Edit2, 1, 1, 1, 4);
    grid->addWidget(Button4, 1, 5);
    grid->addWidget(label(QStringLiteral("Кол-во")), 2, 0);
    grid->addWidget(Edit3, 2, 1);
    grid->addWidget(label(QStringLiteral("Брак")), 2, 2);
    grid->addWidget(Edit4, 2, 3);
    grid->addWidget(label(QStringLiteral("Время")), 3, 0);
    grid->addWidget(Edit6, 3, 1);
    grid->addWidget(Label6, 3, 2);
    grid->addWidget(Edit5, 3, 3);
    grid->addWidget(label(QStringLiteral("Дата")), 4, 0);
    grid->addWidget(DTimeP, 4, 1);
    grid->addWidget(label(QStringLiteral("Цена база")), 5, 0);
    grid->addWidget(Edit8, 5, 1);
    grid->addWidget(label(QStringLiteral("Цена итог")), 5, 2);
    grid->addWidget(Edit7, 5, 3);
    grid->addWidget(label(QStringLiteral("Сумма")), 6, 2);
    grid->addWidget(Edit9, 6, 3);
    grid->setColumnMinimumWidth(1, 110);
    grid->setColumnMinimumWidth(3, 110);
    for (QWidget *w : group->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        w->setFont(normal);

    Button1 = new QPushButton(QStringLiteral("Запись"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Edit3);
    setTabOrder(Edit3, Edit6);
    setTabOrder(Edit6, Edit5);
    setTabOrder(Edit5, DTimeP);
    setTabOrder(DTimeP, Edit4);
    setTabOrder(Edit4, Button1);
    setTabOrder(Button1, Button2);

    // The colour is asked for painting operations only.
    SetColourEnabled(false);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    for (QWidget *w : {static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Edit2), static_cast<QWidget *>(Edit3),
                       static_cast<QWidget *>(Edit6)})
        w->installEventFilter(this);
}

bool TForm11::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Edit1) {
            Button3Click();
            return true;
        }
        if (watched == Edit2) {
            Button4Click();
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut && (watched == Edit3 || watched == Edit6))
        RecomputePrices();
    return QDialog::eventFilter(watched, event);
}

double TForm11::RoundTo4(double value)
{
    // Half-way values go to the even neighbour (the default rounding mode of the FPU).
    return std::nearbyint(value * 10000.0) / 10000.0;
}

QString TForm11::PriceLiteral(double price)
{
    QString text = QString::number(RoundTo4(price), 'g', 15);
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}

QString TForm11::Shown(double value) const
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(RoundTo4(value), 'g', 15);
}

bool TForm11::IsPainting() const
{
    return Edit2->text().toUpper().contains(paintingMark);
}

void TForm11::SetColourEnabled(bool enabled)
{
    Edit5->setEnabled(enabled);
    Label6->setEnabled(enabled);
    if (!enabled)
        Edit5->clear();
}

void TForm11::PrepareAdd()
{
    m_main->CurrentJournal = m_main->JournalOfMode();
    DTimeP->setDate(m_main->journalDate());
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    Edit5->clear();
    Edit4->setText(QStringLiteral("0"));
    Edit6->setText(QStringLiteral("0"));
    setWindowTitle(QStringLiteral("Заведение новой позиции (11)"));
    Tag = 1;
    Button3->setFocus();
}

bool TForm11::PrepareChange()
{
    DataSet *journal = m_main->CurrentJournal = m_main->JournalOfMode();
    if (journal->isEmpty())
        return false;
    setWindowTitle(QStringLiteral("Изменение данных о позиции (11)"));
    Tag = 2;
    UnitPrice = journal->value(QStringLiteral("cena")).toDouble();
    const double qty = journal->value(QStringLiteral("kol_vo")).toDouble();
    Edit7->setText(Shown(UnitPrice));
    Edit9->setText(Shown(qty * UnitPrice));
    DTimeP->setDate(journal->value(QStringLiteral("data")).toDate());
    Edit1->setText(journal->text(QStringLiteral("fio")).trimmed());
    const QString kind = journal->text(QStringLiteral("vid")).trimmed();
    Edit2->setText(journal->text(QStringLiteral("marka")).trimmed() + QStringLiteral("; ") + kind + QStringLiteral("; ")
                   + Plant::productKindText(journal->toInt(QStringLiteral("naimen"))));
    Edit3->setText(journal->text(QStringLiteral("kol_vo")).trimmed());
    Edit4->setText(journal->text(QStringLiteral("brak")).trimmed());
    WorkerId = journal->toInt(QStringLiteral("w_id"));
    ProductId = journal->value(QStringLiteral("i_id")).toLongLong();
    PriceId = journal->toInt(QStringLiteral("o_id"));
    ProductKind = journal->toInt(QStringLiteral("naimen"));
    Edit6->setText(journal->text(QStringLiteral("time")).trimmed());
    const bool painting = kind.toUpper().contains(paintingMark);
    SetColourEnabled(painting);
    if (painting)
        Edit5->setText(journal->text(QStringLiteral("color")).trimmed());
    // "Цена база" shows the record's operation price as it stands now.
    BasePrice = m_module->LookUp(QStringLiteral("select min(price)::numeric as cena from accounts_dep.norm where o_id=%1").arg(PriceId),
                                 QStringLiteral("cena"))
                    .toDouble();
    Edit8->setText(Shown(BasePrice));
    m_changedId = journal->toInt(QStringLiteral("id"));
    m_changedWorker = WorkerId;
    m_changedDate = DTimeP->date();
    Button3->setFocus();
    return true;
}

void TForm11::Button3Click()
{
    Messages::guard([this] { TForm5::instance()->ShowPicker(1, this); });
}

void TForm11::TakePick(const WorkerChoice &choice)
{
    Edit1->setText(choice.fio);
    WorkerId = choice.id;
}

void TForm11::Button4Click()
{
    Messages::guard([this] {
        const int current = m_main->CurrentJournal ? m_main->CurrentJournal->toInt(QStringLiteral("o_id")) : 0;
        TForm4::instance()->ShowPicker(this, Tag, current);
        SetColourEnabled(IsPainting());
        RecomputePrices();
    });
}

void TForm11::TakePick(const OperationPriceChoice &choice)
{
    ProductId = choice.productId;
    PriceId = choice.id;
    ProductKind = choice.naimen;
    UnitPrice = choice.unitPrice;
    BasePrice = choice.basePrice;
    Edit2->setText(choice.description);
}

void TForm11::RecomputePrices()
{
    if (Edit6->text().isEmpty())
        Edit6->setText(QStringLiteral("0"));
    if (Edit3->text().isEmpty())
        Edit3->setText(QStringLiteral("0"));
    Edit7->setText(Shown(UnitPrice));
    Edit8->setText(Shown(BasePrice));
    Edit9->setText(Shown(Edit3->text().toDouble() * UnitPrice));
}

void TForm11::Button2Click()
{
    reject();
}

void TForm11::Button1Click()
{
    bool saved = false;
    Messages::guard([&] { saved = Save(); });
    if (saved)
        accept();
}

bool TForm11::Save()
{
    const bool filled = !Edit1->text().trimmed().isEmpty() && !Edit2->text().trimmed().isEmpty()
        && !Edit3->text().trimmed().isEmpty() && !Edit4->text().trimmed().isEmpty()
        && !(IsPainting() && Edit5->text().trimmed().isEmpty()) && !Edit6->text().trimmed().isEmpty();
    if (!filled) {
        Messages::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return false;
    }

    const QString w = QString::number(WorkerId);
    const QString o = QString::number(PriceId);
    const QString i = QString::number(ProductId);
    const QString mode = QString::number(m_main->JournalMode);
    const QString date = sqlDate(DTimeP->date());
    const QString today = sqlDate(QDate::currentDate());
    const QString price = PriceLiteral(UnitPrice);
    // The fields hold digits only, so they go into the statement as they are.
    const QString qty = Edit3->text().trimmed();
    const QString brak = Edit4->text().trimmed();
    const QString hours = Edit6->text().trimmed();
    const QString colour = Edit5->text().trimmed().isEmpty() ? QStringLiteral("0") : Edit5->text().trimmed();
    const QString id = QString::number(m_changedId);

    const QString key = QStringLiteral("select count(id) as cnt from accounts_dep.SMENA where w_id=") + w + QStringLiteral(" and o_id=") + o
        + QStringLiteral(" and i_id=") + i + QStringLiteral(" and data=to_date('") + date + QStringLiteral("', 'DD.MM.YYYY') and smena=") + mode;
    const QString duplicates = Tag == 2 ? key + QStringLiteral(" and id<>") + id + QStringLiteral(" and color=") + colour
                                        : key + QStringLiteral(" and color=") + colour;
    if (m_module->CountCheck(duplicates, QStringLiteral("Позиция с такими параметрами уже заведена!")))
        return false;

    SqlCommand SmenaIU(m_module->connectionName());
    if (Tag == 2) {
        SmenaIU.execute(QStringLiteral("update accounts_dep.SMENA set w_id=") + w + QStringLiteral(", i_id=") + i + QStringLiteral(", o_id=") + o
                        + QStringLiteral(", cena=") + price + QStringLiteral(", kol_vo=") + qty + QStringLiteral(", brak=") + brak
                        + QStringLiteral(", data=to_date('") + date + QStringLiteral("', 'DD.MM.YYYY'), smena=") + mode
                        + QStringLiteral(", color=") + colour + QStringLiteral(", time=") + hours + QStringLiteral(", vvod='") + today
                        + QStringLiteral("', prize=0, id_doc=0, id_doc_item=0, f_gds_qty_use=0, id_gds_use=0, id_cons_use=0 where id=") + id);
    } else {
        SmenaIU.execute(QStringLiteral("insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values(")
                        + w + QStringLiteral(", ") + i + QStringLiteral(", ") + o + QStringLiteral(", ") + price + QStringLiteral(",") + qty
                        + QStringLiteral(", ") + brak + QStringLiteral(", to_date('") + date + QStringLiteral("', 'DD.MM.YYYY HH24:MI:SS'), ")
                        + mode + QStringLiteral(", ") + colour + QStringLiteral(", ") + hours + QStringLiteral(", '") + today
                        + QStringLiteral("', 'no', 0, 0, 0, 0, 0, 0)"));
    }

    DataSet *journal = m_main->JournalOfMode();
    const int row = journal->recNo();
    journal->reopen();
    if (!journal->isEmpty() && row >= 1)
        journal->setRecNo(row);

    // The timesheet-by-shifts grids read their rows again when next shown.
    m_module->H_Tabel_1->close();
    m_module->H_Tabel_2->close();
    m_module->H_Tabel_3->close();

    DayCellRule rule(*m_module);
    rule.recomputeAfterSave(WorkerId, DTimeP->date(), m_main->JournalMode);
    // A change that moves the record to another worker or date takes its hours out of the cell it
    // counted in before, so that the timesheet stays right without waiting for a month rebuild.
    if (Tag == 2 && (m_changedWorker != WorkerId || m_changedDate != DTimeP->date()))
        rule.recomputeAfterDeletion(m_changedWorker, m_changedDate, m_main->JournalMode);

    for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9})
        e->clear();
    return true;
}
