#pragma once

#include <QString>
#include <optional>

namespace vartemo {

// The processor's load in per cent since the previous sample.
class ProcessorLoad {
public:
    virtual ~ProcessorLoad() = default;
    // nullopt until two samples exist or when nothing can be read.
    virtual std::optional<int> sample() = 0;
};

// From the first "cpu" line of /proc/stat: busy time over total time
// between two readings.
class ProcStatProcessorLoad final : public ProcessorLoad {
public:
    explicit ProcStatProcessorLoad(QString statPath = QStringLiteral("/proc/stat"));
    std::optional<int> sample() override;

    // The load between two "cpu ..." lines; nullopt when they do not parse
    // or no time passed.
    static std::optional<int> loadBetween(const QString& before, const QString& after);

private:
    QString path_;
    QString previous_;
};

// Gives the values it is told: for tests.
class FakeProcessorLoad final : public ProcessorLoad {
public:
    std::optional<int> value;
    std::optional<int> sample() override { return value; }
};

} // namespace vartemo
