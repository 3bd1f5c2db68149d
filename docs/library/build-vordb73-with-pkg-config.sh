c++ -std=c++17 quickstart.cpp $(pkg-config --cflags --libs vordb73) \
    -Wl,-rpath,"$(pkg-config --variable=libdir vordb73)" -o quickstart
