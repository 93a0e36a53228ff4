#include "support/Privileges.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace torvm::test {

namespace {

constexpr unsigned kOverrideBits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

// pid 0 addresses the calling thread only; capabilities are a property of each thread.
bool readCaps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data) == 0;
}

bool writeCaps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace

ScopedFilePermissions::ScopedFilePermissions()
{
    __user_cap_data_struct data[2]{};
    if (!readCaps(data) || (data[0].effective & kOverrideBits) == 0)
        return;
    m_effective = data[0].effective;
    data[0].effective &= ~kOverrideBits;
    m_dropped = writeCaps(data);
}

ScopedFilePermissions::~ScopedFilePermissions()
{
    if (!m_dropped)
        return;
    __user_cap_data_struct data[2]{};
    if (readCaps(data)) {
        data[0].effective = m_effective;
        writeCaps(data);
    }
}

} // namespace torvm::test
