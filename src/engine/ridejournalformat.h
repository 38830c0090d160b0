#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace vartemo::journal {

// One record of a ride journal: a type word and named text fields. On disk a
// record is one line, "crc32 TYPE key=value ...\n": the CRC-32 of everything
// after its first blank, as eight hex digits; values are percent-encoded, so
// a name holding blanks, "=" or line breaks stays one field on one line.
struct Record {
    QByteArray type;
    QList<QPair<QByteArray, QString>> fields;

    Record() = default;
    explicit Record(QByteArray t) : type(std::move(t)) {}
    Record& add(const QByteArray& key, const QString& value) {
        fields.append({key, value});
        return *this;
    }
    Record& add(const QByteArray& key, qint64 value) { return add(key, QString::number(value)); }
    // The value of the first field with this key; empty when absent.
    QString value(const QByteArray& key) const;
    bool has(const QByteArray& key) const;
    qint64 number(const QByteArray& key, bool* ok = nullptr) const;
};

// The first record of every journal; a file that does not begin with it
// belongs to something else.
inline constexpr char kHeaderType[] = "VARTEMO-JIZDA";
inline constexpr int kFormatVersion = 1;
Record HeaderRecord();

QByteArray EncodeRecord(const Record& record);

// What reading a journal found besides its good records.
enum class Damage {
    None,
    // Nothing at all in the file (it was made, nothing reached the disk).
    Empty,
    // The last line is incomplete or fails its checksum: a write cut short.
    TornTail,
    // A line in the middle fails its checksum or cannot be read: the records
    // before it are good, the rest is not trusted.
    Corrupted,
    // No journal header: another file, or a journal of a newer format.
    Foreign,
};

struct ReadResult {
    QList<Record> records;      // the good ones, header first
    QByteArray goodBytes;       // the bytes of exactly those records
    Damage damage = Damage::None;
    int badLine = 0;            // 1-based line of the damage, 0 without
};

// Files larger than this are not read as journals (a ride writes far less).
inline constexpr qint64 kMaxJournalBytes = 64 * 1024 * 1024;

ReadResult ParseJournal(const QByteArray& bytes);

// The operator's words for what is wrong with a journal.
QString DamageText(Damage damage);

} // namespace vartemo::journal
