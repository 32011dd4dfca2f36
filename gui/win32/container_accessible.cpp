#include "gui/win32/container_accessible.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "gui/accessible_text.h"
#include "gui/controls.h"
#include "gui/win32/accessible_object.h"
#include "gui/win32/graphic_controls.h"
#include "gui/win32/win32_window.h"

namespace gui::win32 {

namespace {

constexpr wchar_t kPressAction[] = L"押す";

std::wstring Wide(const gui::Text& text) { return std::wstring(text.begin(), text.end()); }

bool IsImageButton(const gui::Control& control) {
  auto* image = dynamic_cast<const gui::Image*>(&control);
  return image != nullptr && (image->handCursor || image->captionLabel != nullptr);
}

// A label beside an image button is read as the button's name, not on its own.
bool IsButtonCaption(const gui::Control& control, const std::vector<gui::Control*>& graphics) {
  return std::any_of(graphics.begin(), graphics.end(), [&](gui::Control* other) {
    auto* image = dynamic_cast<const gui::Image*>(other);
    return image != nullptr && image->captionLabel == &control;
  });
}

// One child of a container's object: a windowless control or a child window.
struct Item {
  gui::Control* control = nullptr;
  HWND window = nullptr;
  RECT box{};  // in the container's client pixels
};

std::vector<Item> ItemsOf(gui::Control& container, HWND hwnd) {
  std::vector<Item> items;
  const int dpi = DpiOf(hwnd);
  const std::vector<gui::Control*> graphics = GraphicControlsOf(container);
  for (gui::Control* control : graphics) {
    if (!ShownWithin(*control, container)) continue;
    const bool label = dynamic_cast<const gui::Label*>(control) != nullptr;
    if (IsImageButton(*control) ||
        (label && !control->Caption().empty() && !IsButtonCaption(*control, graphics)))
      items.push_back({control, nullptr, BoxInContainer(*control, container, dpi)});
  }
  for (HWND child = ::GetWindow(hwnd, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child)) continue;
    RECT box{};
    ::GetWindowRect(child, &box);
    ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&box), 2);
    items.push_back({nullptr, child, box});
  }
  // Reading order: top to bottom, then left to right.
  std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    return a.box.top != b.box.top ? a.box.top < b.box.top : a.box.left < b.box.left;
  });
  return items;
}

long ChildIdOf(const std::vector<Item>& items, const gui::Control* control) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].control == control) return static_cast<long>(i + 1);
  return 0;
}

HWND WindowOfLink(const std::shared_ptr<AccessibleLink>& link) {
  return link && link->control != nullptr ? WindowOf(*link->control) : nullptr;
}

// What a button's object says of it, windowless or not.
long ButtonState(const gui::Control& button) {
  return button.EnabledWithParents() ? 0 : STATE_SYSTEM_UNAVAILABLE;
}

bool PressLater(HWND hwnd, const gui::Control& button) {
  if (!button.EnabledWithParents() || !button.onClick) return false;
  return ::PostMessageW(hwnd, kAccessibleClickMessage, 0, reinterpret_cast<LPARAM>(&button)) !=
         FALSE;
}

class ContainerAccessible final : public AccessibleObject {
 public:
  explicit ContainerAccessible(std::shared_ptr<AccessibleLink> link) : link_(std::move(link)) {}

 protected:
  HWND Window() const override { return WindowOfLink(link_); }
  long ChildCount() const override { return static_cast<long>(Items().size()); }

  platform::win32::ComPtr<IDispatch> ChildObject(long child) const override {
    platform::win32::ComPtr<IDispatch> object;
    const Item item = ItemAt(child);
    if (item.window != nullptr)
      ::AccessibleObjectFromWindow(item.window, static_cast<DWORD>(OBJID_WINDOW),
                                   __uuidof(IDispatch), object.PutVoid());
    return object;
  }

  long Role(long child) const override {
    if (child == CHILDID_SELF) return ROLE_SYSTEM_CLIENT;
    const Item item = ItemAt(child);
    if (item.window != nullptr) return ROLE_SYSTEM_WINDOW;
    return IsImageButton(*item.control) ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_STATICTEXT;
  }

  std::wstring Name(long child) const override {
    if (child == CHILDID_SELF) return L"";
    const Item item = ItemAt(child);
    if (item.window != nullptr) return L"";
    if (auto* image = dynamic_cast<const gui::Image*>(item.control);
        image != nullptr && image->captionLabel != nullptr)
      return Wide(gui::CaptionReading(image->captionLabel->Caption()));
    return Wide(gui::CaptionReading(item.control->Caption()));
  }

  long State(long child) const override {
    HWND hwnd = Window();
    if (child == CHILDID_SELF) {
      long state = 0;
      if (!::IsWindowVisible(hwnd)) state |= STATE_SYSTEM_INVISIBLE;
      if (!::IsWindowEnabled(hwnd)) state |= STATE_SYSTEM_UNAVAILABLE;
      return state;
    }
    const Item item = ItemAt(child);
    if (item.window != nullptr)
      return ::IsWindowEnabled(item.window) ? 0 : STATE_SYSTEM_UNAVAILABLE;
    long state = ButtonState(*item.control);
    if (!IsImageButton(*item.control)) state |= STATE_SYSTEM_READONLY;
    return state;
  }

  std::optional<RECT> ScreenRect(long child) const override {
    const RECT client = ClientOnScreen();
    if (child == CHILDID_SELF) return client;
    RECT box = ItemAt(child).box;
    ::OffsetRect(&box, client.left, client.top);
    return box;
  }

  std::wstring KeyboardShortcut(long child) const override {
    if (child == CHILDID_SELF) return L"";
    const Item item = ItemAt(child);
    return item.control != nullptr ? Wide(item.control->KeyboardShortcut()) : L"";
  }

  std::wstring DefaultAction(long child) const override {
    if (child == CHILDID_SELF) return L"";
    const Item item = ItemAt(child);
    return item.control != nullptr && IsImageButton(*item.control) && item.control->onClick
               ? kPressAction
               : L"";
  }
  bool DoDefaultAction(long child) override {
    if (child == CHILDID_SELF) return false;
    const Item item = ItemAt(child);
    return item.control != nullptr && IsImageButton(*item.control) &&
           PressLater(Window(), *item.control);
  }

  long ChildAt(POINT client) const override {
    const std::vector<Item> items = Items();
    for (std::size_t i = items.size(); i-- > 0;)
      if (::PtInRect(&items[i].box, client)) return static_cast<long>(i + 1);
    return CHILDID_SELF;
  }

 private:
  std::vector<Item> Items() const { return ItemsOf(*link_->control, Window()); }
  // The child of a checked id (1..ChildCount()).
  Item ItemAt(long child) const { return Items()[static_cast<std::size_t>(child - 1)]; }

  std::shared_ptr<AccessibleLink> link_;
};

class SpeedButtonAccessible final : public AccessibleObject {
 public:
  explicit SpeedButtonAccessible(std::shared_ptr<AccessibleLink> link) : link_(std::move(link)) {}

 protected:
  HWND Window() const override { return WindowOfLink(link_); }
  long ChildCount() const override { return 0; }
  long Role(long) const override { return ROLE_SYSTEM_PUSHBUTTON; }
  std::wstring Name(long) const override {
    auto* button = dynamic_cast<const gui::SpeedButton*>(link_->control);
    if (button == nullptr) return L"";
    return Wide(button->hint.empty() ? button->Caption() : button->hint);
  }
  long State(long) const override {
    long state = ButtonState(*link_->control);
    if (!::IsWindowVisible(Window())) state |= STATE_SYSTEM_INVISIBLE;
    return state;
  }
  std::optional<RECT> ScreenRect(long) const override { return ClientOnScreen(); }
  std::wstring KeyboardShortcut(long) const override {
    return Wide(link_->control->KeyboardShortcut());
  }
  std::wstring DefaultAction(long) const override {
    return link_->control->onClick ? kPressAction : L"";
  }
  bool DoDefaultAction(long) override { return PressLater(Window(), *link_->control); }

 private:
  std::shared_ptr<AccessibleLink> link_;
};

}  // namespace

void RunAccessibleClick(gui::Control& root, LPARAM control) {
  // The control may have gone since the message was posted: compare before touching it.
  gui::Control* target = nullptr;
  if (control == reinterpret_cast<LPARAM>(&root)) {
    target = &root;
  } else {
    for (gui::Control* graphic : GraphicControlsOf(root))
      if (reinterpret_cast<LPARAM>(graphic) == control) target = graphic;
  }
  if (target == nullptr || !target->EnabledWithParents()) return;
  RunGuarded([target] { target->Click(); });
}

bool ServesReaders(gui::Control& container) {
  const std::vector<gui::Control*> graphics = GraphicControlsOf(container);
  return std::any_of(graphics.begin(), graphics.end(),
                     [](gui::Control* control) { return IsImageButton(*control); });
}

platform::win32::ComPtr<IAccessible> CreateContainerAccessible(
    std::shared_ptr<AccessibleLink> container) {
  return MakeAccessible<ContainerAccessible>(std::move(container));
}

platform::win32::ComPtr<IAccessible> CreateSpeedButtonAccessible(
    std::shared_ptr<AccessibleLink> button) {
  return MakeAccessible<SpeedButtonAccessible>(std::move(button));
}

void AnnounceGraphicChange(const gui::Control& control, gui::Property property) {
  int dx = 0, dy = 0;
  auto* container = const_cast<gui::Control*>(WindowedAncestor(control, dx, dy));
  HWND hwnd = container != nullptr ? WindowOf(*container) : nullptr;
  if (hwnd == nullptr || !ServesReaders(*container)) return;
  switch (property) {
    case gui::Property::Visible:
      NotifyClientEvent(hwnd, EVENT_OBJECT_REORDER, CHILDID_SELF);
      break;
    case gui::Property::Enabled:
      if (IsImageButton(control))
        if (const long id = ChildIdOf(ItemsOf(*container, hwnd), &control))
          NotifyClientEvent(hwnd, EVENT_OBJECT_STATECHANGE, id);
      break;
    case gui::Property::Caption: {
      // A caption renames the buttons it captions, or itself.
      const std::vector<Item> items = ItemsOf(*container, hwnd);
      for (const Item& item : items) {
        auto* image = dynamic_cast<const gui::Image*>(item.control);
        if (item.control == &control || (image != nullptr && image->captionLabel == &control))
          NotifyClientEvent(hwnd, EVENT_OBJECT_NAMECHANGE, ChildIdOf(items, item.control));
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace gui::win32
