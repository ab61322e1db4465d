#include "archive/TOLMClassRegistry.h"

TOLMClassRegistry& TOLMClassRegistry::shared() {
  static TOLMClassRegistry* registry = [] {
    auto* built = new TOLMClassRegistry;
    TOLMRegisterBuiltInClasses(*built);
    return built;
  }();
  return *registry;
}

void TOLMClassRegistry::registerClass(const std::string& name, Factory factory) {
  if (!factory) {
    factories_.erase(name);
    return;
  }
  factories_[name] = std::move(factory);
}

const TOLMClassRegistry::Factory* TOLMClassRegistry::factoryForName(const std::string& name) const {
  const auto found = factories_.find(name);
  return found == factories_.end() ? nullptr : &found->second;
}
