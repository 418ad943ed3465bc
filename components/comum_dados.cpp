// Dataset helpers, the record change log and the spreadsheet writer of the general unit.

#include "comum.h"

#include "Input1.h"
#include "fInput.h"

#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/db/DataSet.h"
#include "platform/db/Database.h"
#include "platform/db/DbTypes.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/os/Registry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstring>

const std::array<std::uint16_t, 6> CXlsBof = {0x0809, 8, 0x0000, 0x0010, 0x0000, 0x0000};
const std::array<std::uint16_t, 2> CXlsEof = {0x000A, 0x0000};
const std::array<std::uint16_t, 6> CXlsLabel = {0x0204, 0, 0, 0, 0, 0};
const std::array<std::uint16_t, 5> CXlsNumber = {0x0203, 14, 0, 0, 0};
const std::array<std::uint16_t, 5> CXlsRk = {0x027E, 10, 0, 0, 0};

namespace {

void writeBytes(QIODevice& stream, const QByteArray& bytes)
{
    if (stream.write(bytes) != bytes.size())
        throw vorta::EInOutError(QStringLiteral("Stream write error"));
}

template <std::size_t N>
QByteArray words(const std::array<std::uint16_t, N>& w)
{
    QByteArray out(int(N * 2), '\0');
    for (std::size_t i = 0; i < N; ++i)
        qToLittleEndian<std::uint16_t>(w[i], out.data() + 2 * i);
    return out;
}

QString g_recordLogFolder;

// A typed value inside a quoted filter literal: a typed quote must not end it.
QString quoted(QString value)
{
    value.replace(QLatin1Char('\''), QStringLiteral("''"));
    return value;
}

} // namespace

void XlsBeginStream(QIODevice& stream, std::uint16_t value)
{
    auto rec = CXlsBof;
    rec[4] = value;
    writeBytes(stream, words(rec));
}

void XlsEndStream(QIODevice& stream)
{
    writeBytes(stream, words(CXlsEof));
}

void XlsWriteCellLabel(QIODevice& stream, std::uint16_t col, std::uint16_t row, const QString& text)
{
    const QByteArray bytes = vorta::toCp1252(text);
    // The record length (text + 8) must fit in 16 bits.
    if (bytes.size() > 65527)
        throw vorta::ERangeError(QStringLiteral("Range check error"));
    auto rec = CXlsLabel;
    rec[1] = std::uint16_t(bytes.size() + 8);
    rec[2] = row;
    rec[3] = col;
    rec[5] = std::uint16_t(bytes.size());
    writeBytes(stream, words(rec) + bytes);
}

void XlsWriteCellNumber(QIODevice& stream, std::uint16_t col, std::uint16_t row, double value)
{
    auto rec = CXlsNumber;
    rec[2] = row;
    rec[3] = col;
    QByteArray number(8, '\0');
    qToLittleEndian<double>(value, number.data());
    writeBytes(stream, words(rec) + number);
}

void XlsWriteCellRk(QIODevice& stream, std::uint16_t col, std::uint16_t row, std::int32_t value)
{
    auto rec = CXlsRk;
    rec[2] = row;
    rec[3] = col;
    const std::uint32_t rk = (std::uint32_t(value) << 2) | 2u;
    QByteArray bytes(4, '\0');
    qToLittleEndian<std::uint32_t>(rk, bytes.data());
    writeBytes(stream, words(rec) + bytes);
}

void SetRecordLogFolder(const QString& folder)
{
    g_recordLogFolder = folder;
}

QString RecordLogFolder()
{
    auto withSlash = [](QString f) { return f.isEmpty() || f.endsWith(QLatin1Char('/')) ? f : f + QLatin1Char('/'); };
    if (!g_recordLogFolder.isEmpty())
        return withSlash(g_recordLogFolder);
    try {
        vorta::os::Registry reg(vorta::os::RootKey::LocalMachine);
        if (!reg.openKeyReadOnly(QStringLiteral("\\Software\\Kalvi\\Vorta\\")))
            return QString();
        const QString configured = reg.readString(QStringLiteral("LogPath"));
        if (!configured.isEmpty())
            return withSlash(configured);
        const QString path = reg.readString(QStringLiteral("Path"));
        return path.isEmpty() ? QString() : withSlash(path) + QStringLiteral("log/");
    } catch (const vorta::Exception&) {
        return QString();
    }
}

void LogRecord(vorta::db::DataSet* dataSet, int updateKind, TUpdateAction&)
{
    const QString folder = RecordLogFolder();
    if (folder.isEmpty())
        throw vorta::EInOutError(QStringLiteral("No folder for the record log"));
    QDir().mkpath(folder);
    const QString name = folder + dataSet->name() + QStringLiteral(".mlog");
    QString record = vorta::now().toString(QStringLiteral("dd/MM/yy HH:mm:ss:zzz "));
    switch (updateKind) {
    case ukModify: record += QStringLiteral("M "); break;
    case ukInsert: record += QStringLiteral("I "); break;
    case ukDelete: record += QStringLiteral("D "); break;
    default: record += QStringLiteral("U "); break;
    }
    for (int i = 0; i < dataSet->fieldCount(); ++i)
        record += dataSet->fields(i)->asString() + QChar(14);
    QFile file(name);
    const QByteArray bytes = vorta::toCp1252(record);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size())
        throw vorta::EInOutError(QStringLiteral("Cannot write \"%1\"").arg(name));
}

int GetRecordNumber(vorta::db::Table* table)
{
    if (!table->active())
        throw vorta::db::EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    const int n = table->recNo();
    return n > 0 ? n : 0;
}

QString GetMaskFieldValue(QObject* sender)
{
    vorta::ui::Form* form = vorta::Screen::instance().activeForm();
    QWidget* active = form ? form->activeControl() : QApplication::focusWidget();
    if (qobject_cast<vorta::ui::DBEdit*>(active)) {
        auto* edit = qobject_cast<vorta::ui::DBEdit*>(sender);
        return edit && edit->field() ? edit->field()->text() : QString();
    }
    if (qobject_cast<vorta::ui::Edit*>(active)) {
        auto* edit = qobject_cast<vorta::ui::Edit*>(sender);
        return edit ? edit->maskedText() : QString();
    }
    return QString();
}

void ActivateDataSet(vorta::db::DataSet* dataSet)
{
    if (!dataSet->active())
        dataSet->open();
}

void RefreshDataSet(vorta::db::DataSet* dataSet)
{
    dataSet->close();
    dataSet->open();
}

bool CopyOneRecord(vorta::db::DataSet* source, vorta::db::DataSet* target)
{
    ActivateDataSet(source);
    ActivateDataSet(target);
    target->insert();
    for (int i = 0; i < target->fieldCount(); ++i) {
        vorta::db::Field* to = target->fields(i);
        if (vorta::db::Field* from = source->findField(to->fieldName()))
            to->setValue(from->value());
    }
    target->post();
    return true;
}

bool CompareRecord(vorta::db::DataSet* a, vorta::db::DataSet* b)
{
    ActivateDataSet(a);
    ActivateDataSet(b);
    for (int i = 0; i < b->fieldCount(); ++i) {
        vorta::db::Field* fb = b->fields(i);
        if (a->fieldByName(fb->fieldName())->value() != fb->value())
            throw vorta::Exception(QStringLiteral("Campos diferentes"));
    }
    return true;
}

bool DFilter(vorta::db::DataSet* dataSet, QStringList& lines, vorta::db::Field* field)
{
    using vorta::db::FieldType;
    switch (field->dataType()) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Float:
    case FieldType::Currency:
        return true;
    default:
        break;
    }
    vorta::db::DataSet* owner = field->dataSet();
    if (!Input1)
        vorta::ui::createForm(Input1);
    Input1->Label1->setCaption(field->displayLabel());
    if (Input1->showModal() != vorta::ui::mrOk) {
        lines.clear();
        for (int i = 0; i < owner->fieldCount(); ++i)
            owner->fields(i)->tag = 0;
    } else {
        const QString condition =
            field->fieldName() + QStringLiteral(" = '") + quoted(Input1->MaskEdit1->text()) + QLatin1Char('\'');
        if (lines.isEmpty() || field->tag == 0 || field->tag > lines.size()) {
            lines << (lines.isEmpty() ? condition : QStringLiteral(" and ") + condition);
            field->tag = int(lines.size());
        } else {
            lines[field->tag - 1] = field->tag > 1 ? QStringLiteral(" and ") + condition : condition;
        }
    }
    dataSet->setFilter(QString());
    for (const QString& line : lines)
        dataSet->setFilter(owner->filter() + QLatin1Char(' ') + line);
    RefreshDataSet(dataSet);
    return true;
}

namespace {

QList<vorta::db::Table*> tablesOf(vorta::Component* module)
{
    QList<vorta::db::Table*> tables;
    for (vorta::Component* c : module->components())
        if (auto* t = dynamic_cast<vorta::db::Table*>(c))
            tables << t;
    return tables;
}

// The hourglass while the work runs, the default cursor afterwards.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

void sortBy(vorta::ui::DBGrid* grid, vorta::db::Field* field)
{
    vorta::db::DataSet* ds = field->dataSet();
    if (auto* table = dynamic_cast<vorta::db::Table*>(ds)) {
        QString chosen;
        bool found = false;
        for (const vorta::db::IndexInfo& ix : table->indexDefs())
            if (ix.fields.join(QLatin1Char(';')).toUpper().contains(field->fieldName().toUpper())) {
                chosen = ix.name;
                found = true;
            }
        if (found)
            table->setIndexName(chosen);
    } else if (auto* query = dynamic_cast<vorta::db::Query*>(ds)) {
        const QString clause = QStringLiteral("ORDER BY ") + field->fieldName();
        QStringList lines = query->sqlLines();
        const int at = lines.isEmpty() ? -1 : int(lines.last().indexOf(QLatin1String("ORDER BY"), 0, Qt::CaseInsensitive));
        if (at >= 0) {
            // Only the clause is replaced: what precedes it on the line stays.
            if (lines.last().mid(at).trimmed() != clause)
                lines.last() = lines.last().left(at) + clause;
        } else {
            lines << clause;
        }
        query->close();
        if (lines != query->sqlLines())
            query->setSqlLines(lines);
        query->open();
        for (int i = 0; i < grid->columns().size(); ++i) {
            vorta::ui::GridColumn& c = grid->column(i);
            c.titleColor = c.fieldName.compare(field->fieldName(), Qt::CaseInsensitive) == 0
                               ? QApplication::palette().color(QPalette::Dark)
                               : QApplication::palette().color(QPalette::Button);
        }
        grid->columnsChanged();
    }
}

} // namespace

void CreateTables(vorta::Component* module)
{
    for (vorta::db::Table* t : tablesOf(module)) {
        t->close();
        if (!t->exists())
            t->createTable();
    }
}

void CreateIndexes(vorta::Component* module)
{
    for (vorta::db::Table* t : tablesOf(module)) {
        t->close();
        QString first;
        for (int i = 0; i < t->fieldCount() && first.isEmpty(); ++i)
            if (t->fields(i)->fieldKind() == vorta::db::FieldKind::Data)
                first = t->fields(i)->fieldName();
        if (first.isEmpty()) {
            const vorta::db::TableInfo& info = t->database()->connection()->tableInfo(t->tableName());
            if (!info.columns.isEmpty())
                first = info.columns.first().name;
        }
        const QStringList primary = t->primaryIndexFields();
        if (primary.size() == 1 && primary.first().compare(first, Qt::CaseInsensitive) == 0)
            continue;
        t->addIndex(QString(), first, true);
    }
}

void DbGridTitleLocate(const TColumnRef& column, bool sort)
{
    using vorta::db::FieldType;
    BusyCursor busy;
    try {
        if (!column.Grid || !column.Grid->dataSet())
            return;
        vorta::db::Field* field = column.Grid->dataSet()->findField(column.FieldName());
        if (!field)
            return;
        if (sort && field->fieldKind() == vorta::db::FieldKind::Data)
            sortBy(column.Grid, field);
        if (!Input1)
            vorta::ui::createForm(Input1);
        if (Input1->Label1->caption() != field->displayLabel())
            Input1->MaskEdit1->clear();
        Input1->MaskEdit1->setEditMask(field->editMask());
        Input1->Label1->setCaption(field->displayLabel());
        QString value;
        QString locateField;
        if (field->fieldKind() == vorta::db::FieldKind::Data) {
            if (Input1->showModal() != vorta::ui::mrOk)
                return;
            value = Input1->MaskEdit1->text();
            locateField = field->fieldName();
        } else if (field->isLookup() && field->lookupDataSet()) {
            if (Input1->showModal() != vorta::ui::mrOk)
                return;
            vorta::db::DataSet* lookup = field->lookupDataSet();
            // Nothing found is nothing to locate, not the lookup's current record.
            if (!lookup->locate(field->lookupResultField(), Input1->MaskEdit1->text(),
                                vorta::db::loCaseInsensitive | vorta::db::loPartialKey))
                return;
            value = lookup->fieldByName(field->lookupKeyFields())->asString();
            locateField = field->keyFields();
        } else {
            return;
        }
        vorta::db::DataSet* ds = field->dataSet();
        vorta::db::Field* target = ds->fieldByName(locateField);
        switch (target->dataType()) {
        case FieldType::String:
            ds->setFilter(locateField + QStringLiteral("= '") + quoted(value) + QStringLiteral("*'"));
            break;
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::Float:
        case FieldType::Currency:
            ds->setFilter(locateField + QStringLiteral("= ") + value);
            break;
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::DateTime:
            ds->setFilter(locateField + QStringLiteral("= '") + quoted(value) + QLatin1Char('\''));
            break;
        default:
            break;
        }
        ds->locate(locateField, value, vorta::db::loCaseInsensitive | vorta::db::loPartialKey);
    } catch (...) {
        // The title click must not fail: whatever went wrong, the grid stays as it was.
    }
}
