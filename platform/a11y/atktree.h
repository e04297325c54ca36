// The ATK objects of the program's windows: one per exposed window, one per row of a list-like
// control, and the application object above the top-level windows. The tree answers what ATK
// asks (names, roles, states, children, text, actions) from the windows as they are now, so an
// object never holds a stale copy; it keeps one reference to each object it made and marks an
// object defunct when its window is gone.
#pragma once

#include <atk/atk.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/a11y/description.h"

namespace a11y {

class AtkTree;

}  // namespace a11y

// An exposed window (row < 0) or a row of a list-like window.
struct TkObject {
    AtkObject parent;
    a11y::AtkTree* tree;
    std::uint32_t window;
    int row;
};

namespace a11y {

class AtkTree {
public:
    AtkTree(ui::Application& app, std::u16string appName, Describer describer);
    ~AtkTree();
    AtkTree(const AtkTree&) = delete;
    AtkTree& operator=(const AtkTree&) = delete;

    ui::Application& App() const { return app_; }
    const std::u16string& AppName() const { return appName_; }
    AtkObject* Root() const { return root_; }
    // The object of a window, made on first use; null for a window that is gone.
    AtkObject* Of(ui::HWND hwnd);
    // The object of a row of a list-like window, made on first use.
    AtkObject* RowOf(ui::HWND hwnd, int row);
    // The object's window (also for a row), null once it is gone.
    ui::HWND WindowOf(const TkObject& object) const;
    // The exposed children of a window in reading order; of the root (null): the visible,
    // exposed top-level windows.
    std::vector<ui::HWND> Children(ui::HWND hwnd) const;
    Description Describe(ui::HWND hwnd, bool withRows = true) const;
    // Forgets a window's objects (and its rows'): they turn defunct.
    void Forget(std::uint32_t window);
    // Forgets the row objects of a window from `first` on.
    void ForgetRows(std::uint32_t window, int first);
    // The windows that have objects.
    std::vector<std::uint32_t> Known() const;
    // Texts handed to ATK as const pointers: kept per object until replaced or released.
    struct KeptText {
        std::string name, description;
    };
    KeptText& Kept(const TkObject* object) { return kept_[object]; }
    void DropKept(const TkObject* object) { kept_.erase(object); }

private:
    ui::Application& app_;
    std::u16string appName_;
    Describer describer_;
    AtkObject* root_ = nullptr;
    std::map<std::uint32_t, AtkObject*> windows_;
    std::map<std::pair<std::uint32_t, int>, AtkObject*> rows_;
    std::map<const TkObject*, KeptText> kept_;
};

// The ATK role of a role of ours.
AtkRole AtkRoleOf(Role role);

}  // namespace a11y
