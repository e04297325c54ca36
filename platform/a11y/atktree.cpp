#include "platform/a11y/atktree.h"

#include <algorithm>

#include "platform/shell/codepage.h"
#include "platform/ui/messages.h"

using a11y::AtkTree;
using a11y::Description;
using a11y::Role;

// The GObject types. A TkObject's strings live until the next question of the same kind.
struct TkObjectClass {
    AtkObjectClass parent_class;
};
struct TkWindow {
    TkObject parent;
};
struct TkWindowClass {
    TkObjectClass parent_class;
};
struct TkButton {
    TkObject parent;
};
struct TkButtonClass {
    TkObjectClass parent_class;
};
struct TkText {
    TkObject parent;
};
struct TkTextClass {
    TkObjectClass parent_class;
};
struct TkList {
    TkObject parent;
};
struct TkListClass {
    TkObjectClass parent_class;
};
struct TkRow {
    TkObject parent;
};
struct TkRowClass {
    TkObjectClass parent_class;
};

namespace {

TkObject* Tk(gpointer object) {
    return reinterpret_cast<TkObject*>(object);
}

std::string Utf8(std::u16string_view text) {
    return shell::Utf16ToUtf8(text);
}

// The description of an object's window, or of its row's list; nullopt once gone.
std::u16string NameOf(const TkObject& o);

std::optional<Description> Described(const TkObject& o, bool withRows = true) {
    if (o.tree == nullptr) return std::nullopt;
    const ui::HWND hwnd = o.tree->WindowOf(o);
    if (!hwnd) return std::nullopt;
    return o.tree->Describe(hwnd, withRows || o.row >= 0);
}

// What the object's text interface holds: a row's text, a label's or an edit's text.
std::u16string TextOf(const TkObject& o) {
    if (o.row >= 0 || o.window == 0) return NameOf(o);
    const auto d = Described(o, false);
    return d ? d->text : std::u16string{};
}

std::u16string NameOf(const TkObject& o) {
    if (o.tree == nullptr) return {};
    if (o.window == 0) return o.tree->AppName();
    const auto d = Described(o, false);
    if (!d) return {};
    if (o.row >= 0) {
        return o.row < static_cast<int>(d->rows.size()) ? d->rows[static_cast<std::size_t>(o.row)]
                                                        : std::u16string{};
    }
    return d->name;
}

}  // namespace

extern "C" {
static void tk_component_iface_init(AtkComponentIface* iface);
static void tk_action_iface_init(AtkActionIface* iface);
static void tk_text_iface_init(AtkTextIface* iface);
static void tk_selection_iface_init(AtkSelectionIface* iface);
static void tk_window_iface_init(AtkWindowIface*) {}
}

G_DEFINE_TYPE_WITH_CODE(TkObject, tk_object, ATK_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, tk_component_iface_init))
G_DEFINE_TYPE_WITH_CODE(TkWindow, tk_window, tk_object_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_WINDOW, tk_window_iface_init))
G_DEFINE_TYPE_WITH_CODE(TkButton, tk_button, tk_object_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, tk_action_iface_init))
G_DEFINE_TYPE_WITH_CODE(TkText, tk_text, tk_object_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_TEXT, tk_text_iface_init))
G_DEFINE_TYPE_WITH_CODE(TkList, tk_list, tk_object_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_SELECTION, tk_selection_iface_init))
G_DEFINE_TYPE_WITH_CODE(TkRow, tk_row, tk_object_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, tk_action_iface_init))

static void tk_window_init(TkWindow*) {}
static void tk_window_class_init(TkWindowClass*) {}
static void tk_button_init(TkButton*) {}
static void tk_button_class_init(TkButtonClass*) {}
static void tk_text_init(TkText*) {}
static void tk_text_class_init(TkTextClass*) {}
static void tk_list_init(TkList*) {}
static void tk_list_class_init(TkListClass*) {}
static void tk_row_init(TkRow*) {}
static void tk_row_class_init(TkRowClass*) {}

// AtkObject.

static void tk_object_init(TkObject* o) {
    o->tree = nullptr;
    o->window = 0;
    o->row = -1;
}

static const gchar* tk_get_name(AtkObject* object) {
    TkObject* o = Tk(object);
    if (o->tree == nullptr) return nullptr;
    AtkTree::KeptText& kept = o->tree->Kept(o);
    kept.name = Utf8(NameOf(*o));
    return kept.name.c_str();
}

static const gchar* tk_get_description(AtkObject* object) {
    TkObject* o = Tk(object);
    if (o->tree == nullptr || o->row >= 0 || o->window == 0) return nullptr;
    const auto d = Described(*o, false);
    if (!d || d->description.empty()) return nullptr;
    AtkTree::KeptText& kept = o->tree->Kept(o);
    kept.description = Utf8(d->description);
    return kept.description.c_str();
}

static AtkObject* tk_get_parent(AtkObject* object) {
    TkObject* o = Tk(object);
    if (o->tree == nullptr || o->window == 0) return nullptr;
    const ui::HWND hwnd = o->tree->WindowOf(*o);
    if (!hwnd) return nullptr;
    if (o->row >= 0) return o->tree->Of(hwnd);
    const ui::WindowNode* node = o->tree->App().Node(hwnd);
    if (node != nullptr && node->IsChild()) return o->tree->Of(node->parent);
    return o->tree->Root();
}

static gint tk_get_n_children(AtkObject* object) {
    TkObject* o = Tk(object);
    if (o->tree == nullptr || o->row >= 0) return 0;
    if (o->window == 0) return static_cast<gint>(o->tree->Children(nullptr).size());
    const ui::HWND hwnd = o->tree->WindowOf(*o);
    if (!hwnd) return 0;
    const Description d = o->tree->Describe(hwnd);
    const auto windows = static_cast<gint>(o->tree->Children(hwnd).size());
    return windows + (a11y::HasRows(d.role) ? static_cast<gint>(d.rows.size()) : 0);
}

static AtkObject* tk_ref_child(AtkObject* object, gint index) {
    TkObject* o = Tk(object);
    if (o->tree == nullptr || o->row >= 0 || index < 0) return nullptr;
    AtkObject* child = nullptr;
    if (o->window == 0) {
        const auto tops = o->tree->Children(nullptr);
        if (index < static_cast<gint>(tops.size()))
            child = o->tree->Of(tops[static_cast<std::size_t>(index)]);
    } else if (const ui::HWND hwnd = o->tree->WindowOf(*o)) {
        // A list's rows come first, then the windows over it (a chooser).
        const Description d = o->tree->Describe(hwnd);
        const gint rows = a11y::HasRows(d.role) ? static_cast<gint>(d.rows.size()) : 0;
        if (index < rows) {
            child = o->tree->RowOf(hwnd, index);
        } else {
            const auto children = o->tree->Children(hwnd);
            if (index - rows < static_cast<gint>(children.size()))
                child = o->tree->Of(children[static_cast<std::size_t>(index - rows)]);
        }
    }
    return child != nullptr ? ATK_OBJECT(g_object_ref(child)) : nullptr;
}

static gint tk_get_index_in_parent(AtkObject* object) {
    TkObject* o = Tk(object);
    if (o->tree == nullptr || o->window == 0) return -1;
    if (o->row >= 0) return o->row;
    const ui::HWND hwnd = o->tree->WindowOf(*o);
    if (!hwnd) return -1;
    const ui::WindowNode* node = o->tree->App().Node(hwnd);
    const ui::HWND parent = node != nullptr && node->IsChild() ? node->parent : ui::HWND{};
    const auto siblings = o->tree->Children(parent);
    const auto at = std::find(siblings.begin(), siblings.end(), hwnd);
    if (at == siblings.end()) return -1;
    gint rows = 0;
    if (parent) {
        const Description d = o->tree->Describe(parent);
        if (a11y::HasRows(d.role)) rows = static_cast<gint>(d.rows.size());
    }
    return rows + static_cast<gint>(at - siblings.begin());
}

static AtkRole tk_get_role(AtkObject* object) {
    TkObject* o = Tk(object);
    if (o->window == 0) return ATK_ROLE_APPLICATION;
    if (o->row >= 0) return ATK_ROLE_LIST_ITEM;
    const auto d = Described(*o, false);
    return d ? a11y::AtkRoleOf(d->role) : ATK_ROLE_INVALID;
}

static AtkStateSet* tk_ref_state_set(AtkObject* object) {
    AtkStateSet* set = atk_state_set_new();
    TkObject* o = Tk(object);
    if (o->window == 0) return set;
    const auto d = Described(*o, o->row >= 0);
    if (!d) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    auto add = [set](bool on, AtkStateType state) {
        if (on) atk_state_set_add_state(set, state);
    };
    add(d->showing, ATK_STATE_VISIBLE);
    add(d->showing, ATK_STATE_SHOWING);
    add(d->enabled, ATK_STATE_ENABLED);
    add(d->enabled, ATK_STATE_SENSITIVE);
    if (o->row >= 0) {
        const bool selected = d->selectedRow == o->row;
        add(true, ATK_STATE_SELECTABLE);
        add(true, ATK_STATE_FOCUSABLE);
        add(true, ATK_STATE_TRANSIENT);
        add(selected, ATK_STATE_SELECTED);
        add(selected && d->focused, ATK_STATE_FOCUSED);
        return set;
    }
    add(d->focusable, ATK_STATE_FOCUSABLE);
    add(d->focused && (d->role == Role::Frame || d->role == Role::Dialog), ATK_STATE_ACTIVE);
    add(d->focused && d->role != Role::Frame && d->role != Role::Dialog, ATK_STATE_FOCUSED);
    add(d->checkable, ATK_STATE_CHECKABLE);
    add(d->checked, ATK_STATE_CHECKED);
    add(d->selected, ATK_STATE_SELECTED);
    add(d->role == Role::List || d->role == Role::PopupList, ATK_STATE_MANAGES_DESCENDANTS);
    add(d->role == Role::Entry, ATK_STATE_EDITABLE);
    add(d->role == Role::Entry, ATK_STATE_SINGLE_LINE);
    return set;
}

static AtkAttributeSet* tk_get_attributes(AtkObject* object) {
    TkObject* o = Tk(object);
    if (o->window == 0 || o->row >= 0) return nullptr;
    const auto d = Described(*o, false);
    if (!d || !d->live) return nullptr;
    AtkAttributeSet* set = nullptr;
    for (const char* name : {"live", "container-live"}) {
        auto* attribute = static_cast<AtkAttribute*>(g_malloc(sizeof(AtkAttribute)));
        attribute->name = g_strdup(name);
        attribute->value = g_strdup("polite");
        set = g_slist_prepend(set, attribute);
    }
    return set;
}

static void tk_object_class_init(TkObjectClass* klass) {
    AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
    atk->get_name = tk_get_name;
    atk->get_description = tk_get_description;
    atk->get_parent = tk_get_parent;
    atk->get_n_children = tk_get_n_children;
    atk->ref_child = tk_ref_child;
    atk->get_index_in_parent = tk_get_index_in_parent;
    atk->get_role = tk_get_role;
    atk->ref_state_set = tk_ref_state_set;
    atk->get_attributes = tk_get_attributes;
}

// AtkComponent: where the object is on the screen, and taking the focus.

static void tk_get_extents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height,
                           AtkCoordType) {
    TkObject* o = Tk(component);
    *x = *y = *width = *height = 0;
    if (o->tree == nullptr || o->window == 0) return;
    const ui::HWND hwnd = o->tree->WindowOf(*o);
    if (!hwnd) return;
    ui::Application& app = o->tree->App();
    ui::RECT r = app.GetWindowRect(hwnd);
    if (o->row >= 0) {
        ui::RECT item{};
        if (app.SendMessage(hwnd, ui::LB_GETITEMRECT, static_cast<ui::WPARAM>(o->row),
                            reinterpret_cast<ui::LPARAM>(&item)) != ui::LB_ERR) {
            const ui::POINT origin = app.ClientToScreen(hwnd, ui::POINT{item.left, item.top});
            r = ui::RECT{origin.x, origin.y, origin.x + item.right - item.left,
                         origin.y + item.bottom - item.top};
        }
    }
    const int scale = app.Scale();
    *x = r.left * scale;
    *y = r.top * scale;
    *width = (r.right - r.left) * scale;
    *height = (r.bottom - r.top) * scale;
}

static gboolean tk_grab_focus(AtkComponent* component) {
    TkObject* o = Tk(component);
    if (o->tree == nullptr || o->window == 0) return FALSE;
    const ui::HWND hwnd = o->tree->WindowOf(*o);
    if (!hwnd) return FALSE;
    if (o->row >= 0) a11y::SelectRow(o->tree->App(), hwnd, o->row);
    o->tree->App().SetFocus(hwnd);
    return TRUE;
}

static void tk_component_iface_init(AtkComponentIface* iface) {
    iface->get_extents = tk_get_extents;
    iface->grab_focus = tk_grab_focus;
}

// AtkAction: a button's press, a row's choice.

static gint tk_get_n_actions(AtkAction*) {
    return 1;
}

static gboolean tk_do_action(AtkAction* action, gint index) {
    TkObject* o = Tk(action);
    if (index != 0 || o->tree == nullptr) return FALSE;
    const ui::HWND hwnd = o->tree->WindowOf(*o);
    if (!hwnd) return FALSE;
    if (o->row >= 0) return a11y::SelectRow(o->tree->App(), hwnd, o->row) ? TRUE : FALSE;
    return a11y::Press(o->tree->App(), hwnd, o->tree->Describe(hwnd, false)) ? TRUE : FALSE;
}

static const gchar* tk_action_name(AtkAction* action, gint index) {
    if (index != 0) return nullptr;
    return Tk(action)->row >= 0 ? "select" : "click";
}

static void tk_action_iface_init(AtkActionIface* iface) {
    iface->get_n_actions = tk_get_n_actions;
    iface->do_action = tk_do_action;
    iface->get_name = tk_action_name;
    iface->get_localized_name = tk_action_name;
}

// AtkText: the whole text of a label, the pronunciation line or the keyword box.

static std::u32string CodePoints(const TkObject& o) {
    const std::string utf8 = Utf8(TextOf(o));
    std::u32string out;
    const gchar* p = utf8.c_str();
    while (*p != '\0') {
        out.push_back(static_cast<char32_t>(g_utf8_get_char(p)));
        p = g_utf8_next_char(p);
    }
    return out;
}

static gchar* Slice(const std::u32string& text, gint start, gint end) {
    const auto size = static_cast<gint>(text.size());
    if (end < 0 || end > size) end = size;
    start = std::clamp(start, 0, end);
    GString* out = g_string_new(nullptr);
    for (gint i = start; i < end; ++i)
        g_string_append_unichar(out, static_cast<gunichar>(text[static_cast<std::size_t>(i)]));
    return g_string_free(out, FALSE);
}

static gchar* tk_get_text(AtkText* text, gint start, gint end) {
    return Slice(CodePoints(*Tk(text)), start, end);
}

static gint tk_get_character_count(AtkText* text) {
    return static_cast<gint>(CodePoints(*Tk(text)).size());
}

static gint tk_get_caret_offset(AtkText* text) {
    TkObject* o = Tk(text);
    const auto d = o->row < 0 && o->window != 0 ? Described(*o, false) : std::nullopt;
    if (!d || d->caret < 0) return 0;
    const std::u16string upTo =
        d->text.substr(0, std::min(d->text.size(), static_cast<std::size_t>(d->caret)));
    return static_cast<gint>(g_utf8_strlen(Utf8(upTo).c_str(), -1));
}

static gchar* tk_get_string_at_offset(AtkText* text, gint, AtkTextGranularity, gint* start,
                                      gint* end) {
    // One line: every granularity above the character gives the whole text.
    const std::u32string all = CodePoints(*Tk(text));
    *start = 0;
    *end = static_cast<gint>(all.size());
    return Slice(all, 0, *end);
}

static gchar* tk_get_text_at_offset(AtkText* text, gint offset, AtkTextBoundary, gint* start,
                                    gint* end) {
    return tk_get_string_at_offset(text, offset, ATK_TEXT_GRANULARITY_LINE, start, end);
}

static void tk_text_iface_init(AtkTextIface* iface) {
    iface->get_text = tk_get_text;
    iface->get_character_count = tk_get_character_count;
    iface->get_caret_offset = tk_get_caret_offset;
    iface->get_text_at_offset = tk_get_text_at_offset;
    iface->get_string_at_offset = tk_get_string_at_offset;
}

// AtkSelection: the selected row of a list or chooser.

static gboolean tk_add_selection(AtkSelection* selection, gint index) {
    TkObject* o = Tk(selection);
    const ui::HWND hwnd = o->tree != nullptr ? o->tree->WindowOf(*o) : ui::HWND{};
    return hwnd && a11y::SelectRow(o->tree->App(), hwnd, index) ? TRUE : FALSE;
}

static int SelectedRow(const TkObject& o) {
    const auto d = Described(o);
    return d ? d->selectedRow : -1;
}

static AtkObject* tk_ref_selection(AtkSelection* selection, gint index) {
    TkObject* o = Tk(selection);
    const int row = SelectedRow(*o);
    if (index != 0 || row < 0) return nullptr;
    AtkObject* child = o->tree->RowOf(o->tree->WindowOf(*o), row);
    return child != nullptr ? ATK_OBJECT(g_object_ref(child)) : nullptr;
}

static gint tk_get_selection_count(AtkSelection* selection) {
    return SelectedRow(*Tk(selection)) >= 0 ? 1 : 0;
}

static gboolean tk_is_child_selected(AtkSelection* selection, gint index) {
    return SelectedRow(*Tk(selection)) == index ? TRUE : FALSE;
}

static void tk_selection_iface_init(AtkSelectionIface* iface) {
    iface->add_selection = tk_add_selection;
    iface->ref_selection = tk_ref_selection;
    iface->get_selection_count = tk_get_selection_count;
    iface->is_child_selected = tk_is_child_selected;
}

namespace {

GType TypeFor(Role role) {
    switch (role) {
        case Role::Frame:
        case Role::Dialog:
            return tk_window_get_type();
        case Role::PushButton:
        case Role::ToggleButton:
        case Role::CheckBox:
            return tk_button_get_type();
        case Role::List:
        case Role::ComboBox:
        case Role::PopupList:
            return tk_list_get_type();
        case Role::Entry:
        case Role::Label:
        case Role::Text:
            return tk_text_get_type();
        default:
            return tk_object_get_type();
    }
}

AtkObject* Make(GType type, AtkTree* tree, std::uint32_t window, int row) {
    auto* o = static_cast<TkObject*>(g_object_new(type, nullptr));
    o->tree = tree;
    o->window = window;
    o->row = row;
    atk_object_initialize(ATK_OBJECT(o), nullptr);
    return ATK_OBJECT(o);
}

void Release(AtkTree& tree, AtkObject* object) {
    TkObject* o = Tk(object);
    tree.DropKept(o);
    o->window = 0xFFFFFFFF;  // no such window: defunct from now on
    atk_object_notify_state_change(object, ATK_STATE_DEFUNCT, TRUE);
    o->tree = nullptr;
    g_object_unref(object);
}

}  // namespace

namespace a11y {

AtkTree::AtkTree(ui::Application& app, std::u16string appName, Describer describer)
    : app_(app), appName_(std::move(appName)), describer_(std::move(describer)) {
    root_ = Make(tk_object_get_type(), this, 0, -1);
}

AtkTree::~AtkTree() {
    for (auto& [key, object] : rows_)
        Release(*this, object);
    for (auto& [key, object] : windows_)
        Release(*this, object);
    DropKept(Tk(root_));
    Tk(root_)->tree = nullptr;
    g_object_unref(root_);
}

ui::HWND AtkTree::WindowOf(const TkObject& object) const {
    const ui::HWND hwnd(&app_, object.window);
    return app_.IsWindow(hwnd) ? hwnd : ui::HWND{};
}

Description AtkTree::Describe(ui::HWND hwnd, bool withRows) const {
    return a11y::Describe(app_, hwnd, describer_, withRows);
}

AtkObject* AtkTree::Of(ui::HWND hwnd) {
    if (!app_.IsWindow(hwnd)) return nullptr;
    if (const auto it = windows_.find(hwnd.id); it != windows_.end()) return it->second;
    AtkObject* object = Make(TypeFor(Describe(hwnd, false).role), this, hwnd.id, -1);
    windows_.emplace(hwnd.id, object);
    return object;
}

AtkObject* AtkTree::RowOf(ui::HWND hwnd, int row) {
    if (!app_.IsWindow(hwnd) || row < 0) return nullptr;
    const auto key = std::make_pair(hwnd.id, row);
    if (const auto it = rows_.find(key); it != rows_.end()) return it->second;
    AtkObject* object = Make(tk_row_get_type(), this, hwnd.id, row);
    rows_.emplace(key, object);
    return object;
}

std::vector<ui::HWND> AtkTree::Children(ui::HWND hwnd) const {
    if (hwnd) return ReadingOrder(app_, hwnd, describer_);
    std::vector<ui::HWND> tops;
    for (ui::HWND top : app_.TopLevelWindows()) {
        if (!app_.IsWindowVisible(top)) continue;
        if (Describe(top, false).role == Role::Hidden) continue;
        tops.push_back(top);
    }
    // The oldest window first: the main window, then the boxes over it.
    std::reverse(tops.begin(), tops.end());
    return tops;
}

void AtkTree::Forget(std::uint32_t window) {
    ForgetRows(window, 0);
    if (const auto it = windows_.find(window); it != windows_.end()) {
        AtkObject* object = it->second;
        windows_.erase(it);
        Release(*this, object);
    }
}

void AtkTree::ForgetRows(std::uint32_t window, int first) {
    for (auto it = rows_.lower_bound({window, first});
         it != rows_.end() && it->first.first == window;) {
        AtkObject* object = it->second;
        it = rows_.erase(it);
        Release(*this, object);
    }
}

std::vector<std::uint32_t> AtkTree::Known() const {
    std::vector<std::uint32_t> known;
    for (const auto& [id, object] : windows_)
        known.push_back(id);
    return known;
}

AtkRole AtkRoleOf(Role role) {
    switch (role) {
        case Role::Hidden:
            return ATK_ROLE_INVALID;
        case Role::Frame:
            return ATK_ROLE_FRAME;
        case Role::Dialog:
            return ATK_ROLE_DIALOG;
        case Role::PushButton:
            return ATK_ROLE_PUSH_BUTTON;
        case Role::ToggleButton:
            return ATK_ROLE_TOGGLE_BUTTON;
        case Role::CheckBox:
            return ATK_ROLE_CHECK_BOX;
        case Role::List:
            return ATK_ROLE_LIST;
        case Role::ListItem:
            return ATK_ROLE_LIST_ITEM;
        case Role::ComboBox:
            return ATK_ROLE_COMBO_BOX;
        case Role::PopupList:
            return ATK_ROLE_LIST_BOX;
        case Role::Entry:
            return ATK_ROLE_ENTRY;
        case Role::Label:
            return ATK_ROLE_LABEL;
        case Role::Text:
            return ATK_ROLE_STATIC;
    }
    return ATK_ROLE_UNKNOWN;
}

}  // namespace a11y
