// The application block "PTRHK32A_3_APP" as the settings program names it:
// the layout and the web-address slots shared with the tray agent.
#pragma once

#include "app_block_layout.h"
#include "app_block_view.h"

namespace setting {

using ptr::GetWebAddress;
using ptr::kAppBlockName;
using ptr::kAppBlockSize;
using ptr::kAppReservedSize;
using ptr::kMaxWebAddressLength;
using ptr::kWebAddressSlots;
using ptr::kWebAddressSlotSize;
using ptr::SetWebAddress;
using ptr::WebAddressSlotOfButton;

}  // namespace setting
