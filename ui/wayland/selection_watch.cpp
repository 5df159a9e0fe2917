#include "selection_watch.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "owned.h"

namespace wayland {
namespace {

// An offer the compositor announced, with the types it has told so far.
struct Offer {
  wl_data_offer* proxy;
  std::vector<std::string> types;
};

}  // namespace

struct SelectionWatch::Watched {
  explicit Watched(wl_display* connection) : display(connection) {}
  ~Watched() {
    for (const Offer& offer : offers) wl_data_offer_destroy(offer.proxy);
  }
  Watched(const Watched&) = delete;
  Watched& operator=(const Watched&) = delete;

  bool CatchUp() {
    failed = failed || wl_display_roundtrip_queue(display, queue.get()) < 0;
    return !failed;
  }

  void Bind(std::uint32_t name, std::string_view interface) {
    // The first seat: the one a desktop has, or its main one. The first
    // version of each holds all that is used here.
    if (!seat && interface == wl_seat_interface.name) {
      seat.reset(static_cast<wl_seat*>(
          wl_registry_bind(registry.get(), name, &wl_seat_interface, 1)));
    } else if (!manager && interface == wl_data_device_manager_interface.name) {
      manager.reset(static_cast<wl_data_device_manager*>(wl_registry_bind(
          registry.get(), name, &wl_data_device_manager_interface, 1)));
    }
  }

  // A new selection lets go of every other offer: none is read here.
  void Select(wl_data_offer* proxy) {
    selection = proxy;
    std::erase_if(offers, [proxy](const Offer& offer) {
      if (offer.proxy == proxy) return false;
      wl_data_offer_destroy(offer.proxy);
      return true;
    });
  }

  bool SelectionOffers(std::string_view type) const {
    const auto chosen = std::find_if(
        offers.begin(), offers.end(),
        [this](const Offer& offer) { return offer.proxy == selection; });
    return selection != nullptr && chosen != offers.end() &&
           std::find(chosen->types.begin(), chosen->types.end(), type) !=
               chosen->types.end();
  }

  static Watched& Of(void* data) { return *static_cast<Watched*>(data); }

  static void OnGlobal(void* data, wl_registry*, std::uint32_t name,
                       const char* interface, std::uint32_t) {
    Of(data).Bind(name, interface);
  }
  static void OnGlobalRemoved(void*, wl_registry*, std::uint32_t) {}
  static constexpr wl_registry_listener kRegistryListener = {&OnGlobal,
                                                             &OnGlobalRemoved};

  static void OnOfferType(void* data, wl_data_offer* proxy, const char* type) {
    auto& offers = Of(data).offers;
    const auto offer = std::find_if(
        offers.begin(), offers.end(),
        [proxy](const Offer& known) { return known.proxy == proxy; });
    if (offer != offers.end()) offer->types.emplace_back(type);
  }
  // Drag and drop's, from version 3 on.
  static void OnSourceActions(void*, wl_data_offer*, std::uint32_t) {}
  static void OnAction(void*, wl_data_offer*, std::uint32_t) {}
  static constexpr wl_data_offer_listener kOfferListener = {
      &OnOfferType, &OnSourceActions, &OnAction};

  static void OnDataOffer(void* data, wl_data_device*, wl_data_offer* proxy) {
    Of(data).offers.push_back({proxy, {}});
    wl_data_offer_add_listener(proxy, &kOfferListener, data);
  }
  // A drag over the window brings offers of its own, let go of with the
  // next selection.
  static void OnEnter(void*, wl_data_device*, std::uint32_t, wl_surface*,
                      wl_fixed_t, wl_fixed_t, wl_data_offer*) {}
  static void OnLeave(void*, wl_data_device*) {}
  static void OnMotion(void*, wl_data_device*, std::uint32_t, wl_fixed_t,
                       wl_fixed_t) {}
  static void OnDrop(void*, wl_data_device*) {}
  static void OnSelection(void* data, wl_data_device*, wl_data_offer* proxy) {
    Of(data).Select(proxy);
  }
  static constexpr wl_data_device_listener kDeviceListener = {
      &OnDataOffer, &OnEnter, &OnLeave, &OnMotion, &OnDrop, &OnSelection};

  wl_display* const display;
  bool failed = false;
  // Declared in the order they are made, so that they go in reverse.
  Owned<wl_event_queue, wl_event_queue_destroy> queue{
      wl_display_create_queue(display)};
  // The connection as seen from the queue: what is made through it reports
  // there.
  Owned<wl_display, wl_proxy_wrapper_destroy> on_queue{
      static_cast<wl_display*>(wl_proxy_create_wrapper(display))};
  Owned<wl_registry, wl_registry_destroy> registry;
  Owned<wl_seat, wl_seat_destroy> seat;
  Owned<wl_data_device_manager, wl_data_device_manager_destroy> manager;
  // Version 1 has no request to release a device; it lasts as long as the
  // connection.
  Owned<wl_data_device, wl_data_device_destroy> device;
  std::vector<Offer> offers;
  wl_data_offer* selection = nullptr;
};

SelectionWatch::SelectionWatch(wl_display* display)
    : watched_(std::make_unique<Watched>(display)) {
  Watched& watched = *watched_;
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(watched.on_queue.get()),
                     watched.queue.get());
  watched.registry.reset(wl_display_get_registry(watched.on_queue.get()));
  wl_registry_add_listener(watched.registry.get(), &Watched::kRegistryListener,
                           &watched);
  if (!watched.CatchUp() || !watched.seat || !watched.manager) return;
  watched.device.reset(wl_data_device_manager_get_data_device(
      watched.manager.get(), watched.seat.get()));
  wl_data_device_add_listener(watched.device.get(), &Watched::kDeviceListener,
                              &watched);
}

SelectionWatch::~SelectionWatch() = default;

bool SelectionWatch::SelectionOffers(std::string_view type) {
  return watched_->device && watched_->CatchUp() &&
         watched_->SelectionOffers(type);
}

}  // namespace wayland
