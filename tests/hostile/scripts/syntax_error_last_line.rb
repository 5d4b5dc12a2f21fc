puts "before"
puts "fine"
def broken(
