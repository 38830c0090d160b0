#include "engine/ridejournalformat.h"

#include <QUrl>
#include <zlib.h>

namespace vartemo::journal {

namespace {

// Everything but letters, digits and a few harmless marks is escaped, so
// blanks, "=", "%" and line breaks never appear raw inside a value.
QByteArray EncodeValue(const QString& value) {
    return QUrl::toPercentEncoding(value, QByteArrayLiteral(":.,-_/+@"));
}

QString DecodeValue(const QByteArray& bytes) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
}

quint32 Crc(const QByteArray& bytes) {
    return quint32(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.constData()),
                         uInt(bytes.size())));
}

QByteArray Payload(const Record& record) {
    QByteArray payload = record.type;
    for (const auto& [key, value] : record.fields)
        payload += ' ' + key + '=' + EncodeValue(value);
    return payload;
}

// A line without its line end; nullopt when its checksum fails or it is not
// made of a type and key=value fields.
std::optional<Record> DecodeLine(const QByteArray& line) {
    const qsizetype blank = line.indexOf(' ');
    if (blank != 8)
        return std::nullopt;
    bool ok = false;
    const quint32 stored = line.left(8).toUInt(&ok, 16);
    const QByteArray payload = line.mid(9);
    if (!ok || payload.isEmpty() || stored != Crc(payload))
        return std::nullopt;
    const QList<QByteArray> parts = payload.split(' ');
    Record record(parts.first());
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype eq = parts[i].indexOf('=');
        if (eq <= 0)
            return std::nullopt;
        record.fields.append({parts[i].left(eq), DecodeValue(parts[i].mid(eq + 1))});
    }
    return record;
}

} // namespace

QString Record::value(const QByteArray& key) const {
    for (const auto& [k, v] : fields)
        if (k == key)
            return v;
    return {};
}

bool Record::has(const QByteArray& key) const {
    for (const auto& field : fields)
        if (field.first == key)
            return true;
    return false;
}

qint64 Record::number(const QByteArray& key, bool* ok) const {
    bool good = false;
    const qint64 n = value(key).toLongLong(&good);
    if (ok)
        *ok = good;
    return good ? n : 0;
}

Record HeaderRecord() {
    return Record(kHeaderType).add("version", kFormatVersion);
}

QByteArray EncodeRecord(const Record& record) {
    const QByteArray payload = Payload(record);
    return QByteArray::number(Crc(payload), 16).rightJustified(8, '0') + ' ' + payload + '\n';
}

ReadResult ParseJournal(const QByteArray& bytes) {
    ReadResult result;
    if (bytes.isEmpty()) {
        result.damage = Damage::Empty;
        return result;
    }
    qsizetype pos = 0;
    int lineNo = 0;
    while (pos < bytes.size()) {
        ++lineNo;
        const qsizetype end = bytes.indexOf('\n', pos);
        const bool complete = end >= 0;
        const QByteArray line = bytes.mid(pos, complete ? end - pos : -1);
        const std::optional<Record> record = complete ? DecodeLine(line) : std::nullopt;
        const qsizetype next = complete ? end + 1 : bytes.size();
        if (lineNo == 1 && (!record || record->type != kHeaderType ||
                            record->number("version") != kFormatVersion)) {
            // A header cut short is still recognisable: the start of ours.
            const bool tornHeader = !complete && EncodeRecord(HeaderRecord()).startsWith(line);
            result.damage = tornHeader ? Damage::TornTail : Damage::Foreign;
            result.badLine = 1;
            return result;
        }
        if (!record) {
            result.damage = next >= bytes.size() ? Damage::TornTail : Damage::Corrupted;
            result.badLine = lineNo;
            return result;
        }
        result.records.append(*record);
        result.goodBytes.append(bytes.constData() + pos, next - pos);
        pos = next;
    }
    return result;
}

QString DamageText(Damage damage) {
    switch (damage) {
    case Damage::None: return {};
    case Damage::Empty: return QStringLiteral("soubor je prázdný");
    case Damage::TornTail: return QStringLiteral("poslední záznam je neúplný");
    case Damage::Corrupted: return QStringLiteral("záznamy jsou poškozené");
    case Damage::Foreign: return QStringLiteral("soubor není záznamem jízdy");
    }
    return {};
}

} // namespace vartemo::journal
