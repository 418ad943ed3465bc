#include "platform/db/DataPacket.h"
#include "platform/db/DataSource.h"

#include "DbTestSupport.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace vorta::db;
using namespace vorta::db::testsupport;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

PacketField scalar(const char* name, FieldType type, int width = 0)
{
    PacketField f;
    f.name = QString::fromLatin1(name);
    f.type = type;
    f.width = width;
    return f;
}

PacketField nested(const char* name, PacketLevel level)
{
    PacketField f;
    f.name = QString::fromLatin1(name);
    f.nested = std::make_shared<PacketLevel>(std::move(level));
    return f;
}

PacketRow row(std::vector<QVariant> values, std::vector<std::vector<PacketRow>> details = {})
{
    PacketRow r;
    r.values = std::move(values);
    r.details = std::move(details);
    return r;
}

// Two fields and one row: the smallest packet with a string.
DataPacket idName()
{
    DataPacket p;
    p.meta.fields = {scalar("ID", FieldType::Integer), scalar("NAME", FieldType::String, 10)};
    p.rows = {row({1, QStringLiteral("Bob")})};
    return p;
}

// A master row with two detail rows, the second with a NULL.
DataPacket masterDetail()
{
    PacketLevel lines;
    lines.fields = {scalar("QTY", FieldType::Integer)};
    DataPacket p;
    p.meta.fields = {scalar("ID", FieldType::Integer), nested("LINES", lines)};
    p.rows = {row({7, QVariant()}, {{}, {row({5}), row({QVariant()})}})};
    return p;
}

} // namespace

TEST(DataPacket, WritesTheDescribedLayoutByteForByte)
{
    struct Case {
        const char* what;
        DataPacket packet;
        QByteArray bytes;
    } cases[] = {
        {"flat", idName(),
         hex("96 19 E0 BD 01 00 00 00 18 00 00 00 02 00 01 00 00 00 03 00 00 00 3E 00 02 49 44 04 00 01 00 00"
             "00 00 00 04 4E 41 4D 45 01 00 49 00 00 00 01 00 05 57 49 44 54 48 02 00 02 00 0A 00 00 00 00 00"
             "01 00 00 00 03 42 6F 62")},
        {"nested", masterDetail(),
         hex("96 19 E0 BD 02 00 00 00 18 00 00 00 03 00 01 00 00 00 03 00 00 00 41 00 02 49 44 04 00 01 00 00"
             "00 00 00 05 4C 49 4E 45 53 01 00 0E 05 00 00 00 00 03 51 54 59 04 00 01 00 00 00 00 00 00 00 00"
             "00 00 00 07 00 00 00 02 00 00 00 00 00 05 00 00 00 00 01")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(writeDataPacket(c.packet).toHex(' '), c.bytes.toHex(' ')) << c.what;
}

TEST(DataPacket, EveryColumnTypeRoundTripsWithItsEncoding)
{
    const QDate date(2024, 1, 31);
    const QDateTime stamp(date, QTime(10, 30, 15, 250));
    struct Case {
        PacketField field;
        QVariant value;
        QByteArray valueBytes; // as stored in the row
    } cases[] = {
        {scalar("S", FieldType::String, 40), QStringLiteral("Açougue Ímpar"), hex("0D 41 E7 6F 75 67 75 65 20 CD 6D 70 61 72")},
        {scalar("S300", FieldType::String, 300), QStringLiteral("ab"), hex("02 00 61 62")},
        {scalar("I", FieldType::Integer), qint64(-2), hex("FE FF FF FF")},
        {scalar("H", FieldType::SmallInt), qint64(300), hex("2C 01")},
        {scalar("F", FieldType::Float), 1.5, hex("00 00 00 00 00 00 F8 3F")},
        {scalar("M", FieldType::Currency), 12.5, hex("00 00 00 00 00 00 29 40")},
        {scalar("B", FieldType::Boolean), true, hex("01 00")},
        {scalar("D", FieldType::Date), date, hex("64 46 0B 00")},
        {scalar("T", FieldType::Time), QTime(10, 30, 15, 250), hex("D2 03 41 02")},
        {scalar("TS", FieldType::DateTime), stamp, hex("00 E9 79 32 3B 08 CD 42")},
        {scalar("O", FieldType::Memo), QStringLiteral("linha\r\nção"), hex("0A 00 00 00 6C 69 6E 68 61 0D 0A E7 E3 6F")},
        {scalar("X", FieldType::Blob), QByteArray("\x00\x01", 2), hex("02 00 00 00 00 01")},
    };
    for (const Case& c : cases) {
        DataPacket p;
        p.meta.fields = {c.field};
        p.rows = {row({c.value}), row({QVariant()})};
        const QByteArray bytes = writeDataPacket(p);
        // The first row: status, bitmap, then the value; the second row is NULL.
        EXPECT_TRUE(bytes.endsWith(hex("00 00") + c.valueBytes + hex("00 01"))) << c.field.name.toStdString()
                                                                                 << " " << bytes.toHex(' ').toStdString();
        const DataPacket back = readDataPacket(bytes);
        ASSERT_EQ(back.rows.size(), 2u);
        EXPECT_EQ(back.meta.fields[0].type, c.field.type) << c.field.name.toStdString();
        EXPECT_EQ(back.rows[0].values[0], c.value) << c.field.name.toStdString();
        EXPECT_FALSE(back.rows[1].values[0].isValid()) << c.field.name.toStdString();
    }
}

TEST(DataPacket, DeclaresWidthsSubtypesAndLongNames)
{
    DataPacket p;
    PacketField required = scalar("NOME", FieldType::String, 254);
    required.required = true;
    p.meta.fields = {required, scalar("VALOR", FieldType::Currency), scalar("OBS", FieldType::Memo),
                     scalar("Um_Nome_De_Coluna_Bem_Comprido_Demais", FieldType::Integer)};
    const DataPacket back = readDataPacket(writeDataPacket(p));
    const auto& f = back.meta.fields;
    EXPECT_EQ(f[0].typeWord, packet::kString2) << "width 254 takes a 2-byte prefix";
    EXPECT_EQ(f[0].width, 254);
    EXPECT_EQ(f[0].attributes, packet::kAttrRequired);
    EXPECT_EQ(f[1].subtype, "Money");
    EXPECT_EQ(f[2].subtype, "Text");
    EXPECT_EQ(f[3].name, "Um_Nome_De_Coluna_Bem_Comprido_Demais");
    ASSERT_EQ(f[3].params.size(), 1u);
    EXPECT_EQ(f[3].params[0].typeWord, packet::kString2 | packet::kRoundTrip);
}

TEST(DataPacket, NestedCountsCoverEveryDescriptorBelow)
{
    // A, N(B, M(C)): five descriptors; N counts three, M one.
    PacketLevel m;
    m.fields = {scalar("C", FieldType::Integer)};
    PacketLevel n;
    n.fields = {scalar("B", FieldType::Integer), nested("M", m)};
    DataPacket p;
    p.meta.fields = {scalar("A", FieldType::Integer), nested("N", n)};
    PacketRow inner = row({QVariant(), QVariant()}, {{}, {row({3}), row({4})}});
    p.rows = {row({1, QVariant()}, {{}, {inner, row({2, QVariant()})}})};
    const DataPacket back = readDataPacket(writeDataPacket(p));
    EXPECT_EQ(back.columnCount, 5);
    EXPECT_EQ(back.majorVersion, 2);
    EXPECT_EQ(back.meta.fields[1].typeWord, packet::kNested | 3u);
    EXPECT_EQ(back.meta.fields[1].nested->fields[1].typeWord, packet::kNested | 1u);
    const auto& details = back.rows[0].details[1];
    ASSERT_EQ(details.size(), 2u);
    EXPECT_FALSE(details[0].values[0].isValid());
    ASSERT_EQ(details[0].details[1].size(), 2u);
    EXPECT_EQ(details[0].details[1][1].values[0], qint64(4));
    EXPECT_EQ(details[1].values[0], qint64(2));
    EXPECT_TRUE(details[1].details[1].empty());
}

TEST(DataPacket, WriterRefusesWhatThePacketCannotHold)
{
    const std::vector<PacketField> bad = {scalar("RowState", FieldType::Integer), scalar("", FieldType::Integer),
                                          scalar("U", FieldType::Unknown), scalar("W", FieldType::String, 0)};
    for (const PacketField& f : bad) {
        DataPacket p;
        p.meta.fields = {f};
        EXPECT_THROW(writeDataPacket(p), EDataPacketError) << f.name.toStdString();
    }
    DataPacket big = idName();
    big.rows[0].values[0] = qint64(1) << 40;
    EXPECT_THROW(writeDataPacket(big), EDataPacketError);
    DataPacket shortRow = idName();
    shortRow.rows[0].values.pop_back();
    EXPECT_THROW(writeDataPacket(shortRow), EDataPacketError);
}

TEST(DataPacket, ReaderRefusesMalformedPackets)
{
    const QByteArray good = writeDataPacket(masterDetail());
    ASSERT_NO_THROW(readDataPacket(good));
    // Every truncation fails.
    for (int n = 0; n < good.size(); ++n)
        EXPECT_THROW(readDataPacket(good.left(n)), EDataPacketError) << "cut at " << n;
    struct Case {
        const char* what;
        int offset;
        QByteArray bytes;
    } cases[] = {
        {"magic", 0, hex("97")},
        {"version", 4, hex("04")},
        {"no metadata", 18, hex("02")},
        {"header size", 8, hex("FF")},
        {"more columns than descriptors", 12, hex("04")},
        {"fewer columns than the nested count", 12, hex("01")},
        {"nested count too big", 0x29, hex("02")},
        {"data offset", 22, hex("40")},
        {"row count", 14, hex("02")},
        {"nested row count", 0x47, hex("03")},
        {"not fetched", 0x4A, hex("80")},
        {"unchanged column in a plain row", 0x42, hex("02")},
        {"type word", 0x37, hex("3F")},
    };
    for (const Case& c : cases) {
        QByteArray bad = good;
        bad.replace(c.offset, c.bytes.size(), c.bytes);
        EXPECT_THROW(readDataPacket(bad), EDataPacketError) << c.what;
    }
    EXPECT_THROW(readDataPacket(good + hex("00")), EDataPacketError) << "bytes left over";
    try {
        readDataPacket(good.left(40));
    } catch (const EDataPacketError& e) {
        EXPECT_TRUE(e.message().contains("truncated")) << e.message().toStdString();
    }
}

TEST(DataPacket, DayNumbersCountFromYearOne)
{
    EXPECT_EQ(packetDayNumber(QDate(1, 1, 1)), 1);
    EXPECT_EQ(packetDayNumber(QDate(2024, 1, 31)), 738916);
    EXPECT_EQ(packetDate(738916), QDate(2024, 1, 31));
    EXPECT_EQ(packetDate(packetDayNumber(QDate(2005, 12, 31))), QDate(2005, 12, 31));
}

class DataPacketProvider : public DbFolder {};

TEST_F(DataPacketProvider, DetailQueriesTravelInsideTheirMastersRows)
{
    fillPeople();
    db->execute("UPDATE Pessoa SET Ativo = 1, Nascimento = '1990-05-04 00:00:00', Peso = 70.5 WHERE Id = 1");
    db->execute("INSERT INTO Conta (Pessoa_Id, Numero, Descricao) VALUES (1, 1, 'A1'), (1, 2, 'A2'), (3, 1, 'C1')");
    auto master = query("select * from Pessoa where Id <= :vId order by Id");
    master->setName("qryPessoa");
    master->paramByName("vId")->setAsInteger(3);
    DataSource source;
    source.setDataSet(master.get());
    auto contas = query("select * from Conta where Pessoa_Id = :Id order by Numero");
    contas->setName("qryContas");
    contas->setDataSource(&source);
    auto unrelated = query("select * from Conta");
    unrelated->setName("qryOutra");
    master->open();

    for (bool disabled : {false, true}) {
        if (disabled)
            master->disableControls();
        const PacketSource tree = packetSourceTree(master.get(), {contas.get(), unrelated.get()});
        ASSERT_EQ(tree.details.size(), 1u);
        const QByteArray bytes = writeDataPacket(packetFromDataSets(tree));
        EXPECT_EQ(writeDataPacket(tree), bytes) << "written while walking, the same bytes";
        const DataPacket back = readDataPacket(bytes);
        const auto& fields = back.meta.fields;
        ASSERT_EQ(fields.size(), 14u) << "13 columns and the nested detail last";
        EXPECT_EQ(fields[1].name, "Nome");
        EXPECT_EQ(fields[1].width, 20);
        EXPECT_EQ(fields[13].name, "qryContas");
        EXPECT_EQ(back.columnCount, 17);
        ASSERT_EQ(back.rows.size(), 3u);
        EXPECT_EQ(back.rows[0].values[5], QVariant(true));
        EXPECT_EQ(back.rows[0].values[6], QDate(1990, 5, 4));
        EXPECT_EQ(back.rows[0].values[4], 70.5);
        EXPECT_FALSE(back.rows[1].values[4].isValid());
        const std::vector<size_t> counts = {back.rows[0].details[13].size(), back.rows[1].details[13].size(),
                                            back.rows[2].details[13].size()};
        EXPECT_EQ(counts, (std::vector<size_t>{2, 0, 1})) << (disabled ? "controls disabled" : "");
        EXPECT_EQ(back.rows[2].details[13][0].values[2], QVariant(QStringLiteral("C1")));
        if (disabled)
            master->enableControls();
    }
}
