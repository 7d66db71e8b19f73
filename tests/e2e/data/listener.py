#!/usr/bin/env python3
"""Counts whatever reaches it on 127.0.0.1: TCP connections on one port, UDP datagrams on another.

listener.py <folder>: writes the two ports to <folder>/ports ("tcp udp") once both listen, and
keeps <folder>/count ("connections datagrams") up to date after every arrival, until killed.
"""
import os
import select
import socket
import sys

folder = sys.argv[1]
tcp = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
tcp.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
tcp.bind(("127.0.0.1", 0))
tcp.listen(64)
udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
udp.bind(("127.0.0.1", 0))


def write(name, text):
    path = os.path.join(folder, name)
    with open(path + ".new", "w") as f:
        f.write(text + "\n")
    os.replace(path + ".new", path)


connections = datagrams = 0
write("count", "0 0")
write("ports", "%d %d" % (tcp.getsockname()[1], udp.getsockname()[1]))
while True:
    ready, _, _ = select.select([tcp, udp], [], [])
    for s in ready:
        if s is tcp:
            conn, _ = tcp.accept()
            conn.close()
            connections += 1
        else:
            udp.recvfrom(65536)
            datagrams += 1
    write("count", "%d %d" % (connections, datagrams))
