print (0..255).map(&:chr).join.delete("\0\r\n")
puts
