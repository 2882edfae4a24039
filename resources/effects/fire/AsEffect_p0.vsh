; AsEffect_p0.vsh - the flame layer's band (TexVertex in picture pixels) through WorldViewProj,
; its texture coordinates as given (v from 0 at the band's top to 0.95 at its bottom)
; vs_2_0 - budget 5 of 256 slots
; reg  parameter        type      meaning
; c0   WorldViewProj    float4x4  bound as columns (c0..c3): v x WorldViewProj
vs_2_0
dcl_position v0
dcl_texcoord0 v1
m4x4 oPos, v0, c0
mov oT0.xy, v1
