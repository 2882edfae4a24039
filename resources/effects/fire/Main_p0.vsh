; Main_p0.vsh - the brush's grid (TexVertex in picture pixels) through WorldViewProj; the flame
; coordinates turned so that v grows towards the region's first edge (corners 0 and 2, the
; bottom edge of a region stored bottom-left, top-left, bottom-right, top-right), as on the
; flame layer's band; the mask coordinates from where ViewProj puts the point on the screen
; vs_2_0 - budget 15 of 256 slots
; reg  parameter        type      meaning
; c0   WorldViewProj    float4x4  bound as columns (c0..c3): v x WorldViewProj
; c4   ViewProj         float4x4  bound as columns (c4..c7): the picture's placement without camera
; c8   bg_scale_factor  float2    screen size over placed picture size, xy
vs_2_0
def c9, 0.5, -0.5, 1, 0
dcl_position v0
dcl_texcoord0 v1
m4x4 oPos, v0, c0
mov r1.x, v1.x
add r1.y, c9.z, -v1.y         ; 1 - v
mov oT0.xy, r1
m4x4 r0, v0, c4
rcp r0.w, r0.w
mul r0.xy, r0, r0.w           ; clip-space x, y
mul r0.xy, r0, c9             ; from the screen's centre, y down, in screen widths
mad oT1.xy, r0, c8, c9.x      ; picture coordinates of the mask
