#pragma once
// The fields of the configuration area that the settings tool reads itself,
// and the summary it shows before a restore overwrites the network settings
// and passwords of the target controller.
//
//   offset  size  field
//        0     4  IP address, most significant byte first
//        4     4  network mask, likewise
//    8..19    12  three further IPv4 addresses (passed through)
//       20     6  MAC address
//       26    16  name text (passed through)
//       42    16  control password, zero-padded
//       58    16  configuration password, zero-padded

#include <QByteArray>
#include <QString>

namespace quelnet {

namespace config {
inline constexpr int IpOffset = 0;
inline constexpr int MaskOffset = 4;
inline constexpr int MacOffset = 20;
inline constexpr int ControlPasswordOffset = 42;
inline constexpr int ConfigPasswordOffset = 58;
inline constexpr int PasswordSize = 16;
} // namespace config

// "Zostaną wprogramowane następujące ustawienia." CR CR "MAC: 00-1A-..." CR
// "IP: 192.168.0.177" CR "Maska: 255.255.255.0" CR "Hasło: kpnv" CR CR
// "Czy nadpisać ustawienia ?". The password shown is the configuration
// password, up to its first zero byte and at most 16 characters.
QString SettingsSummary(const QByteArray& config);

} // namespace quelnet
