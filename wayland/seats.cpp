// Input that ends the run. Full screen, as the Windows saver: a key, a pointer button, a touch, or
// the fourth pointer move in a row that finds the pointer somewhere new (one that finds it where
// it was starts the count again). The window: Esc or q, in whatever keyboard layout.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "wayland/wayland_state.h"

namespace {

constexpr int kMovesTolerated = 3;                       // the fourth new place ends the run
constexpr std::uint32_t kEvdevEscape = 1, kEvdevQ = 16;  // where no keymap comes

void EndByInput(WaylandClient& client) {
  if (!client.options.window) client.ended = true;
}

// The pointer found at `surface` (x, y): a new place counts, the same place starts again.
void SeePointer(WaylandClient& client, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
  const bool same =
      surface == client.pointerLastSurface && x == client.pointerX && y == client.pointerY;
  client.pointerMoves = same ? 0 : client.pointerMoves + 1;
  client.pointerLastSurface = surface;
  client.pointerX = x;
  client.pointerY = y;
  if (client.pointerMoves > kMovesTolerated) EndByInput(client);
}

void PointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                  wl_fixed_t x, wl_fixed_t y) {
  auto& client = *static_cast<Seat*>(data)->client;
  client.pointerSurface = surface;
  if (client.options.window) return;
  wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);  // no cursor over the rings
  // The first place is where the run begins; a later entry has come from somewhere else.
  if (client.pointerKnown) {
    SeePointer(client, surface, x, y);
  } else {
    client.pointerKnown = true;
    client.pointerLastSurface = surface;
    client.pointerX = x;
    client.pointerY = y;
  }
}

void PointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
  static_cast<Seat*>(data)->client->pointerSurface = nullptr;
}

void PointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
  auto& client = *static_cast<Seat*>(data)->client;
  if (!client.options.window && client.pointerSurface != nullptr)
    SeePointer(client, client.pointerSurface, x, y);
}

void PointerButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                   std::uint32_t state) {
  if (state == WL_POINTER_BUTTON_STATE_PRESSED) EndByInput(*static_cast<Seat*>(data)->client);
}

void PointerAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}

// The seat is bound at version 3: the later events (frame, axis details) do not come.
const wl_pointer_listener kPointerListener = {
    PointerEnter, PointerLeave, PointerMotion, PointerButton, PointerAxis,
    nullptr,      nullptr,      nullptr,       nullptr,       nullptr};

void KeyboardKeymap(void* data, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
  Seat& seat = *static_cast<Seat*>(data);
  WaylandClient& client = *seat.client;
  xkb_state_unref(seat.keyState);
  xkb_keymap_unref(seat.keymap);
  seat.keyState = nullptr;
  seat.keymap = nullptr;
  void* text = format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1
                   ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0)
                   : MAP_FAILED;
  close(fd);
  if (text == MAP_FAILED) return;
  if (client.xkb == nullptr) client.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  if (client.xkb != nullptr)
    seat.keymap = xkb_keymap_new_from_buffer(
        client.xkb, static_cast<const char*>(text), strnlen(static_cast<const char*>(text), size),
        XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
  munmap(text, size);
  if (seat.keymap != nullptr) seat.keyState = xkb_state_new(seat.keymap);
}

void KeyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void KeyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}

// Esc or q closes the window; the key's symbol comes from the seat's layout.
bool ClosesWindow(const Seat& seat, std::uint32_t key) {
  if (seat.keyState == nullptr) return key == kEvdevEscape || key == kEvdevQ;
  const xkb_keysym_t symbol = xkb_state_key_get_one_sym(seat.keyState, key + 8);
  return symbol == XKB_KEY_Escape || symbol == XKB_KEY_q || symbol == XKB_KEY_Q;
}

void KeyboardKey(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
                 std::uint32_t state) {
  Seat& seat = *static_cast<Seat*>(data);
  if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return;
  // Full screen any key ends the run; the window closes on its two keys only.
  if (!seat.client->options.window || ClosesWindow(seat, key)) seat.client->ended = true;
}

void KeyboardModifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
                       std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
  Seat& seat = *static_cast<Seat*>(data);
  if (seat.keyState != nullptr)
    xkb_state_update_mask(seat.keyState, depressed, latched, locked, 0, 0, group);
}

const wl_keyboard_listener kKeyboardListener = {KeyboardKeymap, KeyboardEnter,     KeyboardLeave,
                                                KeyboardKey,    KeyboardModifiers, nullptr};

void TouchDown(void* data, wl_touch*, std::uint32_t, std::uint32_t, wl_surface*, std::int32_t,
               wl_fixed_t, wl_fixed_t) {
  EndByInput(*static_cast<Seat*>(data)->client);
}
void TouchUp(void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {}
void TouchMotion(void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void TouchFrame(void*, wl_touch*) {}
void TouchCancel(void*, wl_touch*) {}

const wl_touch_listener kTouchListener = {TouchDown,   TouchUp, TouchMotion, TouchFrame,
                                          TouchCancel, nullptr, nullptr};

void ReleasePointer(Seat& seat) {
  if (seat.pointer == nullptr) return;
  if (wl_pointer_get_version(seat.pointer) >= WL_POINTER_RELEASE_SINCE_VERSION)
    wl_pointer_release(seat.pointer);
  else
    wl_pointer_destroy(seat.pointer);
  seat.pointer = nullptr;
  seat.client->pointerSurface = nullptr;
}

void ReleaseKeyboard(Seat& seat) {
  if (seat.keyboard != nullptr) {
    if (wl_keyboard_get_version(seat.keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
      wl_keyboard_release(seat.keyboard);
    else
      wl_keyboard_destroy(seat.keyboard);
  }
  seat.keyboard = nullptr;
  xkb_state_unref(seat.keyState);
  xkb_keymap_unref(seat.keymap);
  seat.keyState = nullptr;
  seat.keymap = nullptr;
}

void ReleaseTouch(Seat& seat) {
  if (seat.touch == nullptr) return;
  if (wl_touch_get_version(seat.touch) >= WL_TOUCH_RELEASE_SINCE_VERSION)
    wl_touch_release(seat.touch);
  else
    wl_touch_destroy(seat.touch);
  seat.touch = nullptr;
}

// Devices come and go with the seat's capabilities (a virtual pointer added mid-run, say).
void SeatCapabilities(void* data, wl_seat* wlSeat, std::uint32_t capabilities) {
  Seat& seat = *static_cast<Seat*>(data);
  const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
  const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
  const bool touch = capabilities & WL_SEAT_CAPABILITY_TOUCH;
  if (pointer && seat.pointer == nullptr) {
    seat.pointer = wl_seat_get_pointer(wlSeat);
    wl_pointer_add_listener(seat.pointer, &kPointerListener, &seat);
  } else if (!pointer) {
    ReleasePointer(seat);
  }
  if (keyboard && seat.keyboard == nullptr) {
    seat.keyboard = wl_seat_get_keyboard(wlSeat);
    wl_keyboard_add_listener(seat.keyboard, &kKeyboardListener, &seat);
  } else if (!keyboard) {
    ReleaseKeyboard(seat);
  }
  if (touch && seat.touch == nullptr) {
    seat.touch = wl_seat_get_touch(wlSeat);
    wl_touch_add_listener(seat.touch, &kTouchListener, &seat);
  } else if (!touch) {
    ReleaseTouch(seat);
  }
}

void SeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener kSeatListener = {SeatCapabilities, SeatName};

}  // namespace

void AddSeat(WaylandClient& client, wl_seat* wlSeat, std::uint32_t name) {
  auto seat = std::make_unique<Seat>();
  seat->client = &client;
  seat->name = name;
  seat->seat = wlSeat;
  wl_seat_add_listener(wlSeat, &kSeatListener, seat.get());
  client.seats.push_back(std::move(seat));
}

void RemoveSeat(WaylandClient& client, Seat* seat) {
  ReleasePointer(*seat);
  ReleaseKeyboard(*seat);
  ReleaseTouch(*seat);
  if (wl_seat_get_version(seat->seat) >= WL_SEAT_RELEASE_SINCE_VERSION)
    wl_seat_release(seat->seat);
  else
    wl_seat_destroy(seat->seat);
  auto& seats = client.seats;
  seats.erase(std::remove_if(seats.begin(), seats.end(),
                             [seat](const auto& owned) { return owned.get() == seat; }),
              seats.end());
}

void ForgetPointerSurface(WaylandClient& client, wl_surface* surface) {
  if (client.pointerSurface == surface) client.pointerSurface = nullptr;
  if (client.pointerLastSurface == surface) client.pointerLastSurface = nullptr;
}
