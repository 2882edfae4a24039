#include "benchmarks/FillCounter.h"

#include <windows.h>
#include <d3d9.h>

bool FillCounter::Create(IDirect3DDevice9* device)
{
    m_query.Reset();
    return device && SUCCEEDED(device->CreateQuery(D3DQUERYTYPE_OCCLUSION, m_query.Receive())) &&
           m_query;
}

void FillCounter::Begin()
{
    if (m_query)
        m_query->Issue(D3DISSUE_BEGIN);
}

uint64_t FillCounter::End()
{
    if (!m_query)
        return 0;
    m_query->Issue(D3DISSUE_END);
    DWORD pixels = 0;
    HRESULT hr;
    while ((hr = m_query->GetData(&pixels, sizeof(pixels), D3DGETDATA_FLUSH)) == S_FALSE)
        YieldProcessor();
    return hr == S_OK ? pixels : 0;
}
