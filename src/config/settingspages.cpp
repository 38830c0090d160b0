#include "config/settingspages.h"

#include "config/settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace vartemo {

namespace {

constexpr int kPageColumns = 2;
// A spin edit without a range of its own still needs one on screen.
constexpr int kOpenRangeMaximum = 9999999;
const QSize kPictureSize(160, 100);
// The width of a text field in characters at least (an IP address), and its frame.
constexpr int kEditChars = 10;
constexpr int kEditMargins = 12;

int linesOfGroup(int page, const QString& group) {
    int lines = 0;
    for (const ControlRow& row : SettingControls())
        if (row.page == page && row.group == group)
            lines += row.kind == ControlKind::BitList ? 4 : 1 + int(row.items.size()) / 2;
    return lines;
}

void checkOnly(QButtonGroup* buttons, int id) {
    // No selection is a state of its own (a radio group before the load).
    buttons->setExclusive(false);
    for (QAbstractButton* b : buttons->buttons())
        b->setChecked(buttons->id(b) == id);
    buttons->setExclusive(true);
}

} // namespace

SettingsPages::SettingsPages(Settings& settings, QObject* parent)
    : QObject(parent), settings_(settings), bound_(static_cast<size_t>(kSettingCount)) {
    connect(&settings_, &Settings::changed, this, &SettingsPages::showSetting);
}

void SettingsPages::build(int page, QWidget* pageWidget) {
    Page& p = pages_[page];
    p.widget = pageWidget;
    auto* row = new QHBoxLayout(pageWidget);
    const int columns = page == kFramePage ? 1 : kPageColumns;
    for (int c = 0; c < columns; ++c) {
        auto* column = new QVBoxLayout;
        row->addLayout(column, 1);
        p.columns.push_back(column);
        p.columnLines.push_back(0);
    }
    for (const ControlRow& r : SettingControls())
        if (r.page == page)
            addControl(r, p);
    for (QVBoxLayout* column : p.columns)
        column->addStretch(1);
    p.closed = true;
}

void SettingsPages::balanceColumns(int page) {
    Page& p = pages_[page];
    if (p.columns.size() != 2)
        return;
    for (QVBoxLayout* column : p.columns)
        while (QLayoutItem* item = column->takeAt(0))
            if (!item->layout()) // a group's wrapper or the stretch; a line is kept
                delete item;
    std::vector<int> heights;
    for (const auto& [widget, layout] : p.blocks)
        heights.push_back((widget ? widget->sizeHint() : layout->sizeHint()).height());
    // Each block goes left or right, keeping its order within the column, so
    // that the taller column is as low as it can be (a page has a few blocks).
    const size_t n = std::min<size_t>(heights.size(), 16);
    unsigned leftMask = 0;
    int best = std::numeric_limits<int>::max();
    for (unsigned mask = 0; mask < (1u << n); ++mask) {
        if (!(mask & 1u))
            continue; // the first block opens the left column
        int left = 0, right = 0;
        for (size_t i = 0; i < heights.size(); ++i)
            (i < n && (mask >> i) & 1u ? left : right) += heights[i];
        if (std::max(left, right) < best) {
            best = std::max(left, right);
            leftMask = mask;
        }
    }
    for (size_t i = 0; i < p.blocks.size(); ++i) {
        QVBoxLayout* column = p.columns[i < n && (leftMask >> i) & 1u ? 0 : 1];
        if (QWidget* widget = p.blocks[i].first)
            column->addWidget(widget);
        else
            column->addLayout(p.blocks[i].second);
    }
    for (QVBoxLayout* column : p.columns)
        column->addStretch(1);
}

QGroupBox* SettingsPages::group(int page, const QString& caption) {
    Page& p = pages_[page];
    if (const auto it = p.groups.find(caption); it != p.groups.end())
        return it->second;
    auto* box = new QGroupBox(caption, p.widget);
    new QGridLayout(box);
    const auto shortest = std::min_element(p.columnLines.begin(), p.columnLines.end());
    const auto column = size_t(shortest - p.columnLines.begin());
    // A group made after the build goes above the column's closing stretch.
    QVBoxLayout* target = p.columns[column];
    target->insertWidget(p.closed ? target->count() - 1 : target->count(), box);
    p.columnLines[column] += linesOfGroup(page, caption) + 2;
    p.blocks.emplace_back(box, nullptr);
    p.groups[caption] = box;
    return box;
}

QGridLayout* SettingsPages::groupGrid(int page, const QString& caption) {
    return static_cast<QGridLayout*>(group(page, caption)->layout());
}

QBoxLayout* SettingsPages::lineOf(SettingId id) const {
    return bound_[static_cast<size_t>(id)].line;
}

QWidget* SettingsPages::control(SettingId id) const {
    return bound_[static_cast<size_t>(id)].widget;
}

void SettingsPages::addControl(const ControlRow& row, Page& page) {
    auto* line = new QHBoxLayout;
    if (row.group.isEmpty()) {
        // A radio group is its own frame.
        const auto shortest = std::min_element(page.columnLines.begin(), page.columnLines.end());
        const auto column = size_t(shortest - page.columnLines.begin());
        page.columns[column]->addLayout(line);
        page.columnLines[column] += int(row.items.size()) + 2;
        page.blocks.emplace_back(nullptr, line);
    } else {
        QGridLayout* grid = groupGrid(row.page, row.group);
        const int index = grid->count();
        grid->addLayout(line, index / row.groupColumns, index % row.groupColumns);
    }
    Bound& b = bound_[static_cast<size_t>(row.id)];
    b.line = line;
    b.widget = makeControl(row, line);
    b.widget->setObjectName(InfoOf(row.id).holder);
    // Screen readers and checks from outside find a control by its caption.
    // Left to itself a control in a group box would take the group's caption,
    // which its neighbours share (the price and the track length).
    b.widget->setAccessibleName(row.caption.isEmpty() ? row.group : row.caption);
    showSetting(row.id);
}

QWidget* SettingsPages::makeControl(const ControlRow& row, QBoxLayout* line) {
    const SettingId id = row.id;
    const SettingInfo& info = InfoOf(id);
    Bound& b = bound_[static_cast<size_t>(id)];
    // The caption before the control is its label (its buddy).
    QLabel* caption = nullptr;
    auto label = [&] {
        if (!row.caption.isEmpty())
            line->addWidget(caption = new QLabel(row.caption));
    };
    const auto labelled = [&caption](QWidget* control) {
        if (caption)
            caption->setBuddy(control);
        return control;
    };
    switch (row.kind) {
    case ControlKind::Check: {
        auto* box = new QCheckBox(row.caption);
        line->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this, id](bool on) { settings_.setBoolean(id, on); });
        b.show = [this, box, id] {
            const QSignalBlocker block(box);
            box->setChecked(settings_.boolean(id));
        };
        return box;
    }
    case ControlKind::Spin: {
        label();
        auto* spin = new QSpinBox;
        const bool ranged = info.minimum != 0 || info.maximum != 0;
        spin->setRange(ranged ? info.minimum : 0, ranged ? info.maximum : kOpenRangeMaximum);
        line->addWidget(spin);
        if (!row.unit.isEmpty())
            line->addWidget(new QLabel(row.unit));
        line->addStretch(1);
        connect(spin, &QSpinBox::valueChanged, this, [this, id](int v) { settings_.setInteger(id, v); });
        b.show = [this, spin, id] {
            const QSignalBlocker block(spin);
            spin->setValue(settings_.integer(id));
        };
        return labelled(spin);
    }
    case ControlKind::Slider: {
        label();
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setRange(info.minimum, info.maximum);
        slider->setPageStep(std::max(1, (info.maximum - info.minimum) / 16));
        line->addWidget(slider, 1);
        connect(slider, &QSlider::valueChanged, this, [this, id](int v) { settings_.setInteger(id, v); });
        b.show = [this, slider, id] {
            const QSignalBlocker block(slider);
            slider->setValue(settings_.integer(id));
        };
        return labelled(slider);
    }
    case ControlKind::Radio:
    case ControlKind::PortButtons: {
        const bool ports = row.kind == ControlKind::PortButtons;
        QWidget* holder = nullptr;
        QBoxLayout* buttonsLine = nullptr;
        if (ports) {
            label();
            holder = new QWidget;
            buttonsLine = new QHBoxLayout(holder);
            buttonsLine->setContentsMargins(0, 0, 0, 0);
        } else {
            auto* box = new QGroupBox(row.caption);
            buttonsLine = new QVBoxLayout(box);
            holder = box;
        }
        line->addWidget(holder);
        labelled(holder);
        auto* buttons = new QButtonGroup(holder);
        const QStringList names = info.holder.split(u'/');
        for (int i = 0; i < row.items.size(); ++i) {
            auto* button = new QRadioButton(row.items[i]);
            // Port buttons are the holders themselves (LPT1_Start, ...).
            if (ports)
                button->setObjectName(names.value(i));
            buttonsLine->addWidget(button);
            buttons->addButton(button, ports ? i + 1 : i);
        }
        connect(buttons, &QButtonGroup::idClicked, this, [this, id](int v) { settings_.setInteger(id, v); });
        b.show = [this, buttons, id] { checkOnly(buttons, settings_.integer(id)); };
        return holder;
    }
    case ControlKind::BitList: {
        auto* column = new QVBoxLayout;
        column->addWidget(caption = new QLabel(row.caption));
        auto* list = new QListWidget;
        // Each pin's row as tall as its check box with the focus frame's
        // margin above and below, so the boxes do not touch and the last row
        // stays clear of the list's frame.
        const QStyle* style = list->style();
        const int rowHeight = std::max(list->fontMetrics().height(),
                                       style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, list)) +
                              2 * style->pixelMetric(QStyle::PM_FocusFrameVMargin, nullptr, list);
        for (const QString& item : row.items) {
            auto* entry = new QListWidgetItem(item, list);
            entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            entry->setCheckState(Qt::Unchecked);
            entry->setSizeHint(QSize(list->sizeHintForIndex(list->indexFromItem(entry)).width(), rowHeight));
        }
        list->setFixedHeight(rowHeight * list->count() + 2 * list->frameWidth());
        // Every pin's caption whole, without a scroll bar.
        list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + kEditMargins);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        column->addWidget(list);
        line->addLayout(column);
        connect(list, &QListWidget::itemChanged, this, [this, list, id] {
            int mask = 0;
            for (int bit = 0; bit < list->count(); ++bit)
                if (list->item(bit)->checkState() == Qt::Checked)
                    mask |= 1 << bit;
            settings_.setInteger(id, mask);
        });
        b.show = [this, list, id] {
            const QSignalBlocker block(list);
            const int mask = settings_.integer(id);
            for (int bit = 0; bit < list->count(); ++bit)
                list->item(bit)->setCheckState((mask >> bit) & 1 ? Qt::Checked : Qt::Unchecked);
        };
        return labelled(list);
    }
    case ControlKind::Edit: {
        label();
        auto* edit = new QLineEdit;
        if (info.maxLength > 0)
            edit->setMaxLength(info.maxLength);
        if (info.type == SettingType::Password)
            edit->setEchoMode(QLineEdit::Password);
        // Room for a value to be read (an address, a code), however narrow the column.
        const int chars = std::min(info.maxLength > 0 ? info.maxLength : kEditChars, kEditChars);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(chars, u'0')) + kEditMargins);
        line->addWidget(edit, 1);
        connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& t) { settings_.setText(id, t); });
        b.show = [this, edit, id] {
            // A password is in its box only while the dialog is open.
            const bool hidden = InfoOf(id).type == SettingType::Password && !open_;
            const QString shown = hidden ? QString() : settings_.text(id);
            if (edit->text() != shown)
                edit->setText(shown);
        };
        return labelled(edit);
    }
    case ControlKind::Picture: {
        auto* picture = new QLabel;
        picture->setFixedSize(kPictureSize);
        picture->setFrameShape(QFrame::Box);
        picture->setAlignment(Qt::AlignCenter);
        line->addWidget(picture);
        b.show = [this, id] { showPicture(id); };
        return picture;
    }
    }
    return nullptr;
}

void SettingsPages::showSetting(SettingId id) {
    const Bound& b = bound_[static_cast<size_t>(id)];
    if (b.show)
        b.show();
}

void SettingsPages::setOpen(bool open) {
    open_ = open;
    for (const ControlRow& row : SettingControls())
        if (row.kind == ControlKind::Picture || InfoOf(row.id).type == SettingType::Password)
            showSetting(row.id);
}

// A picture that cannot be read shows nothing, without a message.
void SettingsPages::showPicture(SettingId id) {
    auto* label = qobject_cast<QLabel*>(control(id));
    if (!label)
        return;
    QPixmap picture;
    if (open_ && !settings_.text(id).isEmpty()) {
        QImageReader reader(settings_.text(id));
        reader.setAutoTransform(true);
        picture = QPixmap::fromImage(reader.read());
    }
    label->setPixmap(picture.isNull() ? QPixmap()
                                      : picture.scaled(kPictureSize, Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
}

} // namespace vartemo

#include "moc_settingspages.cpp"
