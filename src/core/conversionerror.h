#pragma once

#include <QString>
#include <stdexcept>

namespace vartemo {

// The one exception for text that should hold a number and does not. Its
// message reads like the toolkit's own: "'abc' is not a valid integer value".
// The operation that asked for the conversion is abandoned and the message is
// shown to the operator.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& text);

    const QString& text() const { return text_; }
    QString message() const;

private:
    QString text_;
};

// Decimal integer as the toolkit reads it: optional blanks, optional sign,
// digits, nothing else. Throws ConversionError otherwise or on overflow.
qint64 StrToInt64(const QString& text);
int StrToInt(const QString& text);

} // namespace vartemo
