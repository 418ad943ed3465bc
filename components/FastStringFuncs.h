#pragma once

// Text helpers on the fast searches: Base64, a keyed character cipher, HTML text,
// wildcards, random names, splitting, counting, Soundex, URL decoding, words.
// Texts are taken as their code page 1252 bytes.

#include <QString>
#include <QStringList>

#include <cstdint>

QString Base64Encode(const QString& s);
// CR, LF, blanks and tabs between the groups are skipped.
QString Base64Decode(const QString& s);

QString Encrypt(const QString& s, std::uint16_t key);
QString Decrypt(const QString& s, std::uint16_t key);

// The tags with their contents; the text outside the tags.
QString ExtractHTML(const QString& s);
QString ExtractNonHTML(const QString& s);

QString CopyStr(const QString& s, int index, int count);
QString LeftStr(const QString& s, int count);
QString RightStr(const QString& s, int count);
QString ReverseStr(const QString& s);

std::int64_t HexToInt(const QString& s);
// "#RRGGBB" or "RRGGBB" as 0x00BBGGRR.
std::uint32_t RGBToColor(const QString& s);

// "*" only, case-sensitive, first occurrence of each fixed piece.
bool StringMatches(const QString& value, const QString& pattern);
QString MissingText(const QString& templateText, const QString& text, const QString& placeholder);

QString RandomStr(int length);
QString RandomFileName(const QString& fileName);
QString UniqueFilename(const QString& fileName);

void Split(const QString& s, QChar separator, QStringList& strings);
int StringCount(const QString& source, const QString& find, bool caseSensitive);
int SoundEx(const QString& s);
QString URLToText(const QString& s);
QString WordAt(const QString& text, int position);
