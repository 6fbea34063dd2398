// Resource ids shared by casino.rc and the code.
#pragma once

#define IDI_CASINO 1
