// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The web console's settings ([Web]): whether it runs, where it listens and the optional TLS
// certificate and key. The section is written only once something in it differs from these
// defaults (or the file has it already), so that a station that never uses the web console
// keeps its settings file as it was.

#include <cstdint>
#include <string>

namespace zeltaro::settings {

struct WebSettings {
  static constexpr std::int32_t kDefaultPort = 8080;

  bool On = false;
  std::int32_t Port = kDefaultPort;
  std::string Bind = "127.0.0.1";  // the address to listen on
  std::string CertFile;            // PEM certificate; with KeyFile, the console speaks HTTPS
  std::string KeyFile;             // PEM private key

  bool isDefault() const {
    const WebSettings d;
    return On == d.On && Port == d.Port && Bind == d.Bind && CertFile == d.CertFile &&
           KeyFile == d.KeyFile;
  }
};

}  // namespace zeltaro::settings
