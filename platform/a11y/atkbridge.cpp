#include "platform/a11y/atkbridge.h"

#include <atk-bridge.h>
#include <atk/atk.h>
#include <glib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/a11y/atktree.h"
#include "platform/shell/codepage.h"

namespace a11y {

namespace {

// ATK asks for the root and the toolkit through class functions without user data, so the one
// running bridge's tree is kept here while it runs.
AtkTree*& RunningTree() {
    static AtkTree* tree = nullptr;
    return tree;
}

AtkObject* RootOfRunningTree() {
    AtkTree* tree = RunningTree();
    return tree != nullptr ? tree->Root() : nullptr;
}

const gchar* ToolkitName() {
    return "Tolkara";
}
const gchar* ToolkitVersion() {
    return "1";
}

void InstallUtil() {
    auto* util = static_cast<AtkUtilClass*>(g_type_class_ref(ATK_TYPE_UTIL));
    util->get_root = RootOfRunningTree;
    util->get_toolkit_name = ToolkitName;
    util->get_toolkit_version = ToolkitVersion;
    g_type_class_unref(util);
}

// A session bus to look for the accessibility bus on: named in the environment or at its
// usual place. Without one, nothing is tried (libdbus would otherwise start a bus of its own).
bool SessionBusNamed() {
    if (std::getenv("AT_SPI_BUS_ADDRESS") != nullptr) return true;
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    return runtime != nullptr &&
           std::filesystem::exists(std::filesystem::path(runtime) / "bus", error);
}

void Quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

bool SameDescription(const Description& a, const Description& b) {
    return a.role == b.role && a.name == b.name && a.description == b.description &&
           a.text == b.text && a.caret == b.caret && a.showing == b.showing &&
           a.enabled == b.enabled && a.focused == b.focused && a.checked == b.checked &&
           a.selected == b.selected && a.rows == b.rows && a.selectedRow == b.selectedRow;
}

bool HasText(Role role) {
    return role == Role::Label || role == Role::Text || role == Role::Entry;
}

glong Characters(const std::u16string& text) {
    const std::string utf8 = shell::Utf16ToUtf8(text);
    return g_utf8_strlen(utf8.c_str(), -1);
}

}  // namespace

std::unique_ptr<AtkBridge> AtkBridge::Start(ui::Application& app, std::u16string appName,
                                            Describer describer) {
    if (const char* off = std::getenv("NO_AT_BRIDGE"); off != nullptr && off[0] == '1')
        return nullptr;
    if (RunningTree() != nullptr || !SessionBusNamed()) return nullptr;
    auto tree = std::make_unique<AtkTree>(app, std::move(appName), std::move(describer));
    RunningTree() = tree.get();
    InstallUtil();
    // The bridge says why it could not reach a bus on the log; without a bus the program runs
    // as before, silently.
    const GLogFunc previous = g_log_set_default_handler(Quiet, nullptr);
    const int failed = atk_bridge_adaptor_init(nullptr, nullptr);
    g_log_set_default_handler(previous, nullptr);
    if (failed != 0) {
        RunningTree() = nullptr;
        return nullptr;
    }
    std::unique_ptr<AtkBridge> bridge(new AtkBridge(app, std::move(tree)));
    app.SetLoopCompanion(bridge.get());
    return bridge;
}

AtkBridge::AtkBridge(ui::Application& app, std::unique_ptr<AtkTree> tree)
    : app_(app), tree_(std::move(tree)) {}

AtkBridge::~AtkBridge() {
    app_.SetLoopCompanion(nullptr);
    atk_bridge_adaptor_cleanup();
    RunningTree() = nullptr;
}

void AtkBridge::Service() {
    // What the bus asked since the last turn, without waiting for more.
    bool asked = false;
    for (int i = 0; i < 64 && g_main_context_iteration(nullptr, FALSE); ++i)
        asked = true;
    if (asked) lastAsked_ = app_.Now();
    ReportChanges();
}

std::uint64_t AtkBridge::Period() const {
    constexpr std::uint64_t Conversation = 250;  // ms after the last question
    return app_.Now() < lastAsked_ + Conversation ? 1 : 10;
}

void AtkBridge::ReportChanges() {
    ReportTopLevels();
    for (const std::uint32_t id : tree_->Known()) {
        const ui::HWND hwnd(&app_, id);
        if (!app_.IsWindow(hwnd)) {
            seen_.erase(id);
            tree_->Forget(id);
            continue;
        }
        const Description now = tree_->Describe(hwnd);
        auto [it, fresh] = seen_.try_emplace(id);
        if (fresh) {
            it->second.described = now;
            it->second.children = tree_->Children(hwnd);
            continue;
        }
        ReportWindow(id, it->second, now);
    }
    ReportFocus();
}

void AtkBridge::ReportTopLevels() {
    const std::vector<ui::HWND> tops = tree_->Children(nullptr);
    AtkObject* root = tree_->Root();
    for (std::size_t i = 0; i < tops.size(); ++i) {
        if (std::find(tops_.begin(), tops_.end(), tops[i]) != tops_.end()) continue;
        AtkObject* window = tree_->Of(tops[i]);
        g_signal_emit_by_name(root, "children-changed::add", static_cast<guint>(i), window);
        g_signal_emit_by_name(window, "create");
    }
    for (ui::HWND old : tops_) {
        if (std::find(tops.begin(), tops.end(), old) != tops.end()) continue;
        if (AtkObject* window = app_.IsWindow(old) ? tree_->Of(old) : nullptr) {
            g_signal_emit_by_name(window, "destroy");
            g_signal_emit_by_name(root, "children-changed::remove", -1, window);
        }
    }
    tops_ = tops;

    const ui::HWND active = app_.GetActiveWindow();
    if (active == active_) return;
    if (AtkObject* old = app_.IsWindow(active_) ? tree_->Of(active_) : nullptr) {
        atk_object_notify_state_change(old, ATK_STATE_ACTIVE, FALSE);
        g_signal_emit_by_name(old, "deactivate");
    }
    active_ = active;
    if (AtkObject* now = app_.IsWindow(active) ? tree_->Of(active) : nullptr) {
        if (atk_object_get_role(now) != ATK_ROLE_INVALID) {
            atk_object_notify_state_change(now, ATK_STATE_ACTIVE, TRUE);
            g_signal_emit_by_name(now, "activate");
        }
    }
}

void AtkBridge::ReportWindow(std::uint32_t id, Seen& seen, const Description& now) {
    const ui::HWND hwnd(&app_, id);
    AtkObject* object = tree_->Of(hwnd);
    const Description before = seen.described;
    if (!SameDescription(before, now)) {
        seen.described = now;
        auto state = [object](bool was, bool is, AtkStateType type) {
            if (was != is) atk_object_notify_state_change(object, type, is ? TRUE : FALSE);
        };
        state(before.showing, now.showing, ATK_STATE_SHOWING);
        state(before.showing, now.showing, ATK_STATE_VISIBLE);
        state(before.enabled, now.enabled, ATK_STATE_ENABLED);
        state(before.enabled, now.enabled, ATK_STATE_SENSITIVE);
        state(before.checked, now.checked, ATK_STATE_CHECKED);
        state(before.selected, now.selected, ATK_STATE_SELECTED);
        if (before.name != now.name) g_object_notify(G_OBJECT(object), "accessible-name");
        if (before.text != now.text && HasText(now.role)) {
            g_signal_emit_by_name(object, "text-changed::delete", 0,
                                  static_cast<gint>(Characters(before.text)));
            g_signal_emit_by_name(object, "text-changed::insert", 0,
                                  static_cast<gint>(Characters(now.text)));
        }
        if (now.caret >= 0 && (before.caret != now.caret || before.text != now.text)) {
            const std::u16string upTo =
                now.text.substr(0, std::min(now.text.size(), static_cast<std::size_t>(now.caret)));
            g_signal_emit_by_name(object, "text-caret-moved", static_cast<gint>(Characters(upTo)));
        }
        if (HasRows(now.role) && before.rows != now.rows) {
            // New rows: the old row objects are gone; clients read the rows again.
            tree_->ForgetRows(id, 0);
            g_signal_emit_by_name(object, "visible-data-changed");
        }
        if (HasRows(now.role) &&
            (before.selectedRow != now.selectedRow || before.rows != now.rows)) {
            if (before.selectedRow >= 0 && before.rows == now.rows) {
                if (AtkObject* old = tree_->RowOf(hwnd, before.selectedRow))
                    atk_object_notify_state_change(old, ATK_STATE_SELECTED, FALSE);
            }
            g_signal_emit_by_name(object, "selection-changed");
            if (AtkObject* row =
                    now.selectedRow >= 0 ? tree_->RowOf(hwnd, now.selectedRow) : nullptr) {
                atk_object_notify_state_change(row, ATK_STATE_SELECTED, TRUE);
                if (now.focused) {
                    g_signal_emit_by_name(object, "active-descendant-changed", row);
                    atk_object_notify_state_change(row, ATK_STATE_FOCUSED, TRUE);
                }
            }
        }
    }
    const std::vector<ui::HWND> children = tree_->Children(hwnd);
    if (children == seen.children) return;
    for (ui::HWND old : seen.children) {
        if (std::find(children.begin(), children.end(), old) != children.end()) continue;
        if (AtkObject* child = app_.IsWindow(old) ? tree_->Of(old) : nullptr)
            g_signal_emit_by_name(object, "children-changed::remove", -1, child);
    }
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (std::find(seen.children.begin(), seen.children.end(), children[i]) !=
            seen.children.end())
            continue;
        g_signal_emit_by_name(object, "children-changed::add", static_cast<guint>(i),
                              tree_->Of(children[i]));
    }
    seen.children = children;
}

void AtkBridge::ReportFocus() {
    const ui::HWND focus = app_.GetFocus();
    if (focus == focus_) return;
    if (AtkObject* old = app_.IsWindow(focus_) ? tree_->Of(focus_) : nullptr)
        atk_object_notify_state_change(old, ATK_STATE_FOCUSED, FALSE);
    focus_ = focus;
    AtkObject* now = app_.IsWindow(focus) ? tree_->Of(focus) : nullptr;
    if (now == nullptr || atk_object_get_role(now) == ATK_ROLE_INVALID) return;
    const Description d = tree_->Describe(focus);
    if (HasRows(d.role) && d.selectedRow >= 0) {
        // A list with a selection: the selected row has the focus.
        AtkObject* row = tree_->RowOf(focus, d.selectedRow);
        atk_object_notify_state_change(now, ATK_STATE_FOCUSED, TRUE);
        g_signal_emit_by_name(now, "active-descendant-changed", row);
        atk_object_notify_state_change(row, ATK_STATE_FOCUSED, TRUE);
        return;
    }
    atk_object_notify_state_change(now, ATK_STATE_FOCUSED, TRUE);
}

}  // namespace a11y
