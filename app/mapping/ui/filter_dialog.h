// The "Filter" dialog and its detail list ("Filter Controllers", "Filter System Common",
// "Filter System Realtime "): check boxes over a FilterEditor. Apply and OK hand the edited
// record to `apply`; Cancel hands nothing.
//
// Threads: the user-interface thread only.
#pragma once

#include "mapping/filter_model.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QListWidget;

namespace corvex {

class FilterDialog : public QDialog {
    Q_OBJECT
public:
    FilterDialog(const CFilter& filter, std::function<void(const CFilter&)> apply,
                 QWidget* parent = nullptr);

    CFilter filter() const { return editor_.result(); }
    QCheckBox* groupBox(FilterGroup group) const { return groups_[index(group)]; }
    // Opens the group's detail list (the "..." buttons).
    void editGroup(FilterGroup group);

private:
    static size_t index(FilterGroup group) { return static_cast<size_t>(group); }
    void showGroup(FilterGroup group);
    void clickGroup(FilterGroup group);
    void applyNow();

    FilterEditor editor_;
    std::function<void(const CFilter&)> apply_;
    std::array<QCheckBox*, 3> groups_{};
};

// A multiple-selection list of a group's entries with "&All" and "&None".
class FilterListDialog : public QDialog {
    Q_OBJECT
public:
    FilterListDialog(const QString& title, const QString& prompt, const QStringList& entries,
                     const std::vector<bool>& selected, QWidget* parent = nullptr);
    std::vector<bool> selection() const;

private:
    QListWidget* list_;
};

} // namespace corvex
