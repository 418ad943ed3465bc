#pragma once

#include <QString>

#include <cstdint>

// Portuguese text of a connection state; "Status da Conecção # " + the number when unknown.
QString RasConnectionStateToString(std::uint32_t state);
// Address of the first active connection; empty when none or on an error.
QString RasGetIPAddress();
