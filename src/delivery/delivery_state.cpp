#include "delivery/delivery_state.h"

namespace sonavera::delivery {

NetworkSettings NetworkSettings::From(const platform::Config& config) {
  NetworkSettings settings;
  settings.tokenUrl = config.Get("network", "tokenUrl");
  settings.storageUrl = config.Get("network", "storageUrl");
  while (!settings.storageUrl.empty() && settings.storageUrl.back() == '/') settings.storageUrl.pop_back();
  return settings;
}

DeliveryState::DeliveryState(std::string folder, NetworkSettings settings)
    : programFolder(folder.empty() || folder.back() == '/' ? folder : folder + '/'), network(std::move(settings)) {}

std::vector<std::string> DeliveryState::Tokens() const {
  std::lock_guard guard(tokenLock);
  return tokenList;
}

void DeliveryState::AppendTokens(const std::vector<std::string>& tokens) {
  std::lock_guard guard(tokenLock);
  tokenList.insert(tokenList.end(), tokens.begin(), tokens.end());
}

std::string DeliveryState::CurrentToken() const {
  std::lock_guard guard(tokenLock);
  return currentToken;
}

void DeliveryState::SetCurrentToken(const std::string& token) {
  std::lock_guard guard(tokenLock);
  currentToken = token;
}

}  // namespace sonavera::delivery
