// Byte and file counts as the user reads them: 1234567 -> "1,234,567".
#pragma once

#include <string>

std::string FormatThousands(long long number);
