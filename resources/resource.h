// Resource identifiers shared by ruzir.rc and the code.
#pragma once

// String 1 is the description a screen-saver host lists the saver under.
#define IDS_DESCRIPTION 1
#define IDI_RUZIR 100
