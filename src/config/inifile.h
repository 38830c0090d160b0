#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace vartemo {

// An INI text file with the rules the station's files have always been read
// and written by:
// - "[name]" opens a section; "key=value" lines belong to the section above.
//   Section and key names match without regard to letter case, so "START" and
//   "Start" are the same entry.
// - A value is the text after the first "=", blanks removed at both ends and,
//   when it is enclosed in double quotes, without them; at most 2047
//   characters are returned.
// - Lines starting with ";" are comments. Keys above the first section, lines
//   without "=" and section lines without their closing bracket are not
//   entries; all such lines are kept as they are when the file is written.
// - Writing a key replaces its line in place (keeping the file's spelling of
//   the key) or appends it at the end of its section; a missing section is
//   appended at the end of the file. Every other line is kept unchanged.
// The file is Windows-1250 with CR LF line ends and is written atomically.
class IniFile {
public:
    static constexpr int kMaxValueLength = 2047;

    IniFile() = default;
    static IniFile fromText(const QString& text);
    // A missing or unreadable file gives an empty one (every key at its default).
    static IniFile fromFile(const QString& path);

    QString text() const;
    const QStringList& lines() const { return lines_; }
    bool save(const QString& path, QString* error = nullptr) const;

    bool hasSection(const QString& section) const;
    bool hasKey(const QString& section, const QString& key) const;

    // nullopt when the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    // Decimal, or hexadecimal after "0x"/"0X"; missing or not a number gives fallback.
    int readInteger(const QString& section, const QString& key, int fallback) const;
    // An integer; non-zero is true.
    bool readBool(const QString& section, const QString& key, bool fallback) const;

    // Line breaks in the value would open new entries: they become blanks.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    // Removes the key's line; false when there was none.
    bool deleteKey(const QString& section, const QString& key);

    // The integer rule of readInteger applied to a text.
    static std::optional<int> parseInteger(const QString& text);

private:
    struct Entry {
        int sectionHeader = -1; // line of the section's header
        int line = -1;          // line of the key
    };
    struct Section {
        int header = -1;    // line index of "[name]"
        int lastEntry = -1; // last key line, or the header when none
    };

    void index() const;
    const Section* findSection(const QString& section) const;
    std::optional<int> findKeyLine(const QString& section, const QString& key) const;
    void changed() { indexed_ = false; }
    // A line was inserted at insertedAt: the lines below moved down by one.
    void shiftIndex(int insertedAt);

    QStringList lines_;
    mutable bool indexed_ = false;
    mutable QHash<QString, Section> sections_;  // by lower-case name; first one wins
    mutable QHash<QString, int> keys_;          // "section\nkey" lower case -> line
};

} // namespace vartemo
