// Builds a tree from what ParseJSON reports in event mode, through the public
// operations only, as a caller of event mode would: what event mode reports
// can then be compared with what tree mode builds from the same text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "json/json_parser.h"

namespace tarn::testing {

class EventTree {
 public:
  // The callback to hand to ParseJSON; it must not outlive the builder.
  TJSONParseEvent Callback() {
    return [this](uint8_t event, const Variant& value) { Take(event, value); };
  }

  // The tree built, or none when no event came.
  std::unique_ptr<TJSONbase> TakeRoot() { return std::move(root_); }

 private:
  void Take(uint8_t event, const Variant& value) {
    switch (event) {
      case jeArrayBegin:
      case jeObjectBegin: {
        TJSONarray* parent = open_.empty() ? nullptr : open_.back();
        std::unique_ptr<TJSONarray> container;
        if (event == jeArrayBegin) {
          container = std::make_unique<TJSONlist>(parent);
        } else {
          container = std::make_unique<TJSONobject>(parent);
        }
        TJSONarray* opened = container.get();
        Place(std::move(container));
        open_.push_back(opened);
        return;
      }
      case jeArrayEnd:
      case jeObjectEnd:
        open_.pop_back();
        return;
      case jeName:
        name_ = value.AsWide();
        return;
      default: {
        auto scalar = std::make_unique<TJSONbase>(open_.empty() ? nullptr : open_.back());
        scalar->SetValue(value);
        Place(std::move(scalar));
      }
    }
  }

  // Into the open container, under the name read last in an object.
  void Place(std::unique_ptr<TJSONbase> value) {
    if (open_.empty()) {
      root_ = std::move(value);
    } else if (open_.back()->Kind() == jkObject) {
      static_cast<TJSONobject*>(open_.back())->Add(name_, std::move(value));
    } else {
      static_cast<TJSONlist*>(open_.back())->Add(std::move(value));
    }
  }

  std::unique_ptr<TJSONbase> root_;
  std::vector<TJSONarray*> open_;
  std::u16string name_;
};

}  // namespace tarn::testing
