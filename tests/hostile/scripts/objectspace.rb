n = 0
ObjectSpace.each_object(String) { n += 1 }
ObjectSpace.each_object(IO) { |io| io.inspect }
puts n > 0
