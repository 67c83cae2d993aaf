// Controls that are gone, as a screen reader still asks about them.
//
// A control's accessible can outlive the control: the accessibility bridge
// goes on listing the objects it knows of to every reader that connects,
// until the last reference to them is dropped, and a file dialog, made for
// each use and destroyed after it, leaves some of its own behind for a
// while. Asked for its states then, the accessible of a label, a button of
// any kind, an entry, an expander, a checked menu item or a window answers
// with no state set at all, which the bridge does not expect and logs
// criticals for on every reader's walk. Here they answer as GTK's other
// accessibles do once their widget is gone: defunct.
#include <gtk/gtk-a11y.h>

#include <array>
#include <cstddef>
#include <utility>

#include "toolkit/gtk/backend.h"

namespace tovi::gtk {
namespace {

using StatesOf = AtkStateSet* (*)(AtkObject*);

// The classes whose own states are missing once their widget is gone. A
// class derived from one of them, made later, starts from its answer; those
// with an answer of their own are listed too.
constexpr std::array kStatelessWhenGone = {
    gtk_label_accessible_get_type,
    gtk_button_accessible_get_type,
    gtk_toggle_button_accessible_get_type,
    gtk_radio_button_accessible_get_type,
    gtk_menu_button_accessible_get_type,
    gtk_link_button_accessible_get_type,
    gtk_lock_button_accessible_get_type,
    gtk_scale_button_accessible_get_type,
    gtk_entry_accessible_get_type,
    gtk_spin_button_accessible_get_type,
    gtk_expander_accessible_get_type,
    gtk_check_menu_item_accessible_get_type,
    gtk_radio_menu_item_accessible_get_type,
    gtk_window_accessible_get_type,
};

// Each class's own answer, for the controls that are still there.
std::array<StatesOf, kStatelessWhenGone.size()> ownStates{};

template <size_t kClass>
AtkStateSet* StatesOrDefunct(AtkObject* accessible) {
  if (gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible)) == nullptr) {
    AtkStateSet* states = atk_state_set_new();
    atk_state_set_add_state(states, ATK_STATE_DEFUNCT);
    return states;
  }
  return ownStates[kClass](accessible);
}

template <size_t kClass>
void Cover() {
  // The class stays referenced for the rest of the run, so its table, and
  // the answer put into it, stay in place.
  auto* objectClass =
      ATK_OBJECT_CLASS(g_type_class_ref(kStatelessWhenGone[kClass]()));
  if (objectClass->ref_state_set == nullptr) return;
  ownStates[kClass] = objectClass->ref_state_set;
  objectClass->ref_state_set = StatesOrDefunct<kClass>;
}

template <size_t... kClasses>
void CoverAll(std::index_sequence<kClasses...>) {
  (Cover<kClasses>(), ...);
}

}  // namespace

void AnswerDefunctWhenGone() {
  CoverAll(std::make_index_sequence<kStatelessWhenGone.size()>());
}

}  // namespace tovi::gtk
