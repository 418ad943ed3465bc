#pragma once

// The class library's client-dataset data packet, binary variant: a writer, a strict
// reader, and a provider that turns a master dataset and its detail queries into one
// packet with nested datasets.

#include "platform/db/DbTypes.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <vector>

namespace vorta::db {

class DataSet;
class Query;

// A malformed packet, or data that cannot be written as one.
VORTA_EXCEPTION_CLASS(EDataPacketError, EDatabaseError)

namespace packet {
constexpr std::uint32_t kMagic = 0xBDE01996u;
constexpr std::uint32_t kInt8 = 0x00010001u, kInt16 = 0x00010002u, kInt32 = 0x00010004u;
constexpr std::uint32_t kUInt16 = 0x00020002u, kBool = 0x00030002u, kDouble = 0x00040008u;
constexpr std::uint32_t kDate = 0x00060004u, kTime = 0x00070004u, kTimeStamp = 0x00080008u;
constexpr std::uint32_t kString1 = 0x00490001u, kString2 = 0x00490002u, kBlob = 0x004B0004u;
// Nested dataset as the dataset writer declares it; the low word is the count of
// every descriptor below the field.
constexpr std::uint32_t kNested = 0x050E0000u;
constexpr std::uint32_t kRoundTrip = 0x80000000u;
constexpr std::uint16_t kAttrRequired = 0x0004;
} // namespace packet

struct PacketLevel;

// An optional parameter ("attribute") of a field or of a level, value bytes as stored.
struct PacketParam {
    QString name;
    std::uint32_t typeWord = 0;
    QByteArray value;
};

struct PacketField {
    QString name;
    FieldType type = FieldType::String; // scalar columns
    int width = 0;                        // strings: maximum bytes
    bool required = false;
    std::shared_ptr<PacketLevel> nested;  // set for a nested dataset
    // As read back (the writer derives them).
    std::uint32_t typeWord = 0;
    std::uint16_t attributes = 0;
    QString subtype;
    std::vector<PacketParam> params;
};

struct PacketLevel {
    std::vector<PacketField> fields;
    std::vector<PacketParam> params;
    // Descriptors at this level and below.
    int descriptorCount() const;
};

struct PacketRow {
    std::uint8_t status = 0;
    // One per field: an invalid variant is NULL; nested fields hold theirs in details.
    std::vector<QVariant> values;
    // One per field; the rows of a nested field, empty for the others.
    std::vector<std::vector<PacketRow>> details;
};

struct DataPacket {
    PacketLevel meta;
    std::vector<PacketRow> rows;
    // Header as read back.
    std::uint16_t majorVersion = 0;
    std::uint16_t minorVersion = 0;
    std::uint32_t properties = 0;
    std::uint16_t dataOffset = 0;
    std::uint16_t columnCount = 0;
};

// The packet bytes. Raises EDataPacketError for a field that cannot be declared (an
// empty name, a name of "RowState", an unknown type) or a row that does not fit its
// level. Strings go out in code page 1252.
QByteArray writeDataPacket(const DataPacket& packet);
// Reads a packet, refusing anything malformed (bad header, truncated, counts that do
// not add up, bytes left over) with EDataPacketError.
DataPacket readDataPacket(const QByteArray& bytes);

// A dataset and its details, each detail travelling as a nested field named after it.
struct PacketSource {
    DataSet* dataSet = nullptr;
    QString name;
    std::vector<PacketSource> details;
};
// The tree under master: every query among candidates whose data source shows a
// dataset of the tree becomes that dataset's detail, in the candidates' order.
PacketSource packetSourceTree(DataSet* master, const std::vector<Query*>& candidates);
// Every row of the open master, each with the rows its details show for it; the
// columns are the data fields of each dataset with their installed types.
DataPacket packetFromDataSets(const PacketSource& source);
// The same packet's bytes, written while the datasets are walked.
QByteArray writeDataPacket(const PacketSource& source);

// Day numbers of the packet's date fields: 0001-01-01 is day 1.
std::int32_t packetDayNumber(const QDate& date);
QDate packetDate(std::int32_t dayNumber);

} // namespace vorta::db
