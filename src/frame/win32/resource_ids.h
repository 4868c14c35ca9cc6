#pragma once
// Ids of the resources in ravlo3.rc; plain macros because the resource compiler reads them.

#define IDI_RAVLO3 1
#define IDI_INFO_ON 101
#define IDI_INFO_OFF 102
