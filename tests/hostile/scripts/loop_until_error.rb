i = 0
loop { i += 1; raise StopIteration if i > 3 }
puts i
