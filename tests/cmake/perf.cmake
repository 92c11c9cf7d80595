# Fast frame composition: the SSE2 tile work against the plain reference, native and under Wine.
glimra_test(tile_sum_test SOURCES tile_sum_test.cpp LINKS glimra_engine)
