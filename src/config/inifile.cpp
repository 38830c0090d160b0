#include "config/inifile.h"

#include "core/textfile.h"

namespace vartemo {

namespace {

QString lookupKey(const QString& section, const QString& key) {
    return section.toLower() + u'\n' + key.toLower();
}

QString unquoted(const QString& raw) {
    QString value = raw.trimmed();
    // A pair of either kind of quote around the whole value, as the profile
    // functions remove them; a lone or mixed quote stays.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value.left(IniFile::kMaxValueLength);
}

bool isCommentOrBlank(const QString& trimmed) {
    return trimmed.isEmpty() || trimmed.startsWith(u';');
}

// A name that can be written back and found again.
bool isWritableName(const QString& name, bool isKey) {
    const QString t = name.trimmed();
    if (t.isEmpty() || t.contains(u'\r') || t.contains(u'\n'))
        return false;
    return isKey ? !t.contains(u'=') && !t.startsWith(u'[') && !t.startsWith(u';')
                 : !t.contains(u']');
}

QString singleLine(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

// A value with blanks at an end, or enclosed in quotes, would come back
// trimmed or unquoted: one pair of quotes around it keeps it as it is.
QString protectedValue(const QString& value) {
    const QString back = unquoted(value);
    if (back == value.left(IniFile::kMaxValueLength))
        return value;
    return u'"' + value + u'"';
}

} // namespace

IniFile IniFile::fromText(const QString& text) {
    IniFile ini;
    ini.lines_ = textfile::splitLines(text);
    return ini;
}

IniFile IniFile::fromFile(const QString& path) {
    IniFile ini;
    if (auto lines = textfile::readLines(path))
        ini.lines_ = std::move(*lines);
    return ini;
}

QString IniFile::text() const {
    return textfile::joinLines(lines_);
}

bool IniFile::save(const QString& path, QString* error) const {
    return textfile::writeLines(path, lines_, error);
}

void IniFile::index() const {
    if (indexed_)
        return;
    sections_.clear();
    keys_.clear();
    QString current;        // lower-case name of the open section
    bool inSection = false;
    bool firstOfName = false; // keys are appended to the first section of a name
    for (int i = 0; i < lines_.size(); ++i) {
        const QString t = lines_[i].trimmed();
        if (isCommentOrBlank(t))
            continue;
        if (t.startsWith(u'[')) {
            const qsizetype close = t.indexOf(u']');
            // A header without its bracket is unreadable: the keys below it
            // must not be taken for keys of the section above.
            inSection = close > 0;
            if (!inSection)
                continue;
            current = t.mid(1, close - 1).trimmed().toLower();
            firstOfName = !sections_.contains(current);
            if (firstOfName)
                sections_.insert(current, Section{i, i});
            continue;
        }
        const qsizetype eq = t.indexOf(u'=');
        if (!inSection || eq <= 0)
            continue;
        const QString key = t.left(eq).trimmed().toLower();
        if (firstOfName)
            sections_[current].lastEntry = i;
        const QString k = current + u'\n' + key;
        if (!keys_.contains(k))
            keys_.insert(k, i);
    }
    indexed_ = true;
}

const IniFile::Section* IniFile::findSection(const QString& section) const {
    index();
    const auto it = sections_.constFind(section.trimmed().toLower());
    return it == sections_.cend() ? nullptr : &*it;
}

std::optional<int> IniFile::findKeyLine(const QString& section, const QString& key) const {
    index();
    const auto it = keys_.constFind(lookupKey(section.trimmed(), key.trimmed()));
    if (it == keys_.cend())
        return std::nullopt;
    return *it;
}

bool IniFile::hasSection(const QString& section) const {
    return findSection(section) != nullptr;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    return findKeyLine(section, key).has_value();
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    const auto line = findKeyLine(section, key);
    if (!line)
        return std::nullopt;
    const QString& text = lines_[*line];
    return unquoted(text.mid(text.indexOf(u'=') + 1));
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& fallback) const {
    return value(section, key).value_or(fallback);
}

std::optional<int> IniFile::parseInteger(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const QString digits = t.mid(2);
        if (digits.isEmpty() || digits.size() > 8 || digits.startsWith(u'+') ||
            digits.startsWith(u'-'))
            return std::nullopt;
        const uint value = digits.toUInt(&ok, 16);
        // Eight hex digits fill the 32 bits: 0xFFFFFFFF is -1.
        return ok ? std::optional<int>(static_cast<int>(value)) : std::nullopt;
    }
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        const bool sign = i == 0 && (c == u'+' || c == u'-');
        if (!sign && (c < u'0' || c > u'9'))
            return std::nullopt;
    }
    const int value = t.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

int IniFile::readInteger(const QString& section, const QString& key, int fallback) const {
    const auto text = value(section, key);
    if (!text)
        return fallback;
    return parseInteger(*text).value_or(fallback);
}

bool IniFile::readBool(const QString& section, const QString& key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    if (!isWritableName(section, false) || !isWritableName(key, true))
        return;
    const QString v = protectedValue(singleLine(value));
    if (const auto line = findKeyLine(section, key)) {
        QString& text = lines_[*line];
        // The file's own spelling of the key stays; only the value changes.
        text = text.left(text.indexOf(u'=')).trimmed() + u'=' + v;
        return;
    }
    // The index is kept up to date here: Save appends many keys in a row.
    const QString sectionName = section.trimmed().toLower();
    const QString entry = lookupKey(section.trimmed(), key.trimmed());
    if (const Section* s = findSection(section)) {
        const int at = s->lastEntry + 1;
        lines_.insert(at, key.trimmed() + u'=' + v);
        shiftIndex(at);
        sections_[sectionName].lastEntry = at;
        keys_.insert(entry, at);
    } else {
        const int header = static_cast<int>(lines_.size());
        lines_.append(u'[' + section.trimmed() + u']');
        lines_.append(key.trimmed() + u'=' + v);
        sections_.insert(sectionName, Section{header, header + 1});
        keys_.insert(entry, header + 1);
    }
}

void IniFile::shiftIndex(int insertedAt) {
    for (Section& s : sections_) {
        if (s.header >= insertedAt)
            ++s.header;
        if (s.lastEntry >= insertedAt)
            ++s.lastEntry;
    }
    for (int& line : keys_)
        if (line >= insertedAt)
            ++line;
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::deleteKey(const QString& section, const QString& key) {
    const auto line = findKeyLine(section, key);
    if (!line)
        return false;
    lines_.removeAt(*line);
    changed();
    return true;
}

} // namespace vartemo
