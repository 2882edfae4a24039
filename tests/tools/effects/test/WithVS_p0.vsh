; WithVS_p0.vsh - positions through Projection (row-vector convention), texture coordinates as given
; vs_2_0 - budget 5 of 256 slots
; reg  parameter   type      meaning
; c0   Projection  float4x4  bound as columns (c0..c3), so m4x4 computes v * Projection
vs_2_0
dcl_position v0
dcl_texcoord0 v1
m4x4 oPos, v0, c0
mov oT0, v1
