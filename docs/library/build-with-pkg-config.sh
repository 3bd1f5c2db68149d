c++ -std=c++17 quickstart.cpp $(pkg-config --cflags --libs vordb8) \
    -Wl,-rpath,"$(pkg-config --variable=libdir vordb8)" -o quickstart
