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
// password, up to its first zero byte and at most 16 characters; masked, a
// fixed row of asterisks that tells nothing of it stands in its place.
//
// When the control password of the configuration differs from
// `controlPasswordInUse` (the one the controller was reached with), a
// paragraph before the question says that it changes: afterwards only the
// configuration's control password reaches the controller. The password
// itself is not shown.
enum class SummaryPassword { Shown, Masked };
QString SettingsSummary(const QByteArray& config, const QString& controlPasswordInUse,
                        SummaryPassword password = SummaryPassword::Shown);

// The control password of the configuration differs from `inUse` as the
// controller compares them: the 16-byte blocks up to their first zero byte.
bool ControlPasswordChanges(const QByteArray& config, const QString& inUse);

} // namespace quelnet
