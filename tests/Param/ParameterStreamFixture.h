// A parameter stream for filter tests: the bytes built from records and a byte-array reader over them.
#ifndef TESTS_PARAM_PARAMETERSTREAMFIXTURE_H
#define TESTS_PARAM_PARAMETERSTREAMFIXTURE_H

#include <cstdint>
#include <utility>

#include "Param/CByteArrayParameterReader.h"
#include "Util/CException.h"
#include "support/Files/CParameterStreamBuilder.h"

namespace StreamTest
{
struct CParameterStream
{
    explicit CParameterStream(const Support::CParameterStreamBuilder& builder) : CParameterStream(builder.Build()) {}
    explicit CParameterStream(Support::Bytes bytes) : m_bytes(std::move(bytes))
    {
        // A non-null pointer even for an empty stream.
        m_bytes.reserve(1u);
        m_reader.Initialize(static_cast<std::uint32_t>(m_bytes.size()), m_bytes.data());
    }

    /// Whether a refusal left the stream closed: only a closed reader can be opened.
    bool IsClosed()
    {
        try
        {
            m_reader.Open();
        }
        catch (const Util::CException&)
        {
            return false;
        }
        m_reader.Close();
        return true;
    }

    Support::Bytes m_bytes;
    Param::CByteArrayParameterReader m_reader;
};
} // namespace StreamTest

#endif
